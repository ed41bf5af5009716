#include "views/NoticeDetails.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

void ShowNoticeDetails(QWidget* owner, const QString& title, const QString& details)
{
    auto* window = owner->findChild<QDialog*>(QStringLiteral("NoticeDetails"), Qt::FindDirectChildrenOnly);
    if (!window) {
        window = new QDialog(owner);
        window->setObjectName(QStringLiteral("NoticeDetails"));
        window->setModal(false);
        window->resize(520, 300);
        auto* text = new QPlainTextEdit(window);
        text->setObjectName(QStringLiteral("DetailsText"));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        auto* buttons = new QDialogButtonBox(window);
        QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
        close->setObjectName(QStringLiteral("CloseButton"));
        QObject::connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::hide);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(text);
        layout->addWidget(buttons);
        // Over the middle of the program's window, where the notice was read.
        window->move(owner->window()->frameGeometry().center() - window->rect().center());
    }
    window->setWindowTitle(title);
    window->findChild<QPlainTextEdit*>(QStringLiteral("DetailsText"))->setPlainText(details);
    window->show();
    window->raise();
    window->activateWindow();
}
