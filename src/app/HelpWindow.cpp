#include "app/HelpWindow.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/Application.h"
#include "platform/FixedDialog.h"
#include "platform/Shell.h"
#include "views/Inputf.h"

namespace {

QPushButton* AddButton(QHBoxLayout& row, const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    row.addWidget(button);
    return button;
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ヘルプ"));

    auto* buttons = new QHBoxLayout;
    BackButton = AddButton(*buttons, QStringLiteral("BackButton"), QStringLiteral("戻る(&B)"));
    ForwardButton = AddButton(*buttons, QStringLiteral("ForwardButton"), QStringLiteral("進む(&F)"));
    buttons->addStretch();
    BrowserButton = AddButton(*buttons, QStringLiteral("BrowserButton"), QStringLiteral("ブラウザで開く(&O)"));
    CloseButton = AddButton(*buttons, QStringLiteral("CloseButton"), QStringLiteral("閉じる(&C)"));
    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);

    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setAccessibleName(QStringLiteral("ヘルプの本文"));
    // Pages of the guide open here; an address on the web goes to the browser.
    Browser->setOpenExternalLinks(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(Browser, 1);

    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QWidget::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardButton, &QWidget::setEnabled);
    connect(BackButton, &QPushButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardButton, &QPushButton::clicked, Browser, &QTextBrowser::forward);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    connect(BrowserButton, &QPushButton::clicked, this, [this] {
        Application::Guard([this] {
            const QString page = Browser->source().toLocalFile();
            Shell::Open(page, QFileInfo(page).absolutePath());
        });
    });
    // Alt with a button's underlined letter presses it, as in the dialogs.
    SetUpDialogKeys(*this);
    resize(720, 560);
}

void THelpWindow::ShowGuide(const QString& page)
{
    Browser->setSource(QUrl::fromLocalFile(page));
    if (!isVisible()) {
        // No larger than the screen, in the middle of the main window.
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            resize(size().boundedTo(screen->availableGeometry().size() * 9 / 10));
        CentreOnMainWindow(*this);
    }
    show();
    raise();
    activateWindow();
    Browser->setFocus(Qt::OtherFocusReason);
}

void THelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
