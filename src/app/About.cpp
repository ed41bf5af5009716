#include "app/About.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "Version.h"
#include "app/WindowFont.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/FixedDialog.h"
#include "platform/GlyphButton.h"
#include "views/Inputf.h"

LongLivedWindow<TAboutBox> AboutBox;

namespace {

// A panel with two one-pixel bevels: the outer one lowered (shadow above and
// left, highlight below and right), the inner one raised (the reverse).
class BevelPanel final : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QColor shadow = palette().color(QPalette::Dark);
        const QColor light = palette().color(QPalette::Light);
        const QRect outer = rect();
        DrawBevel(painter, outer, shadow, light);
        DrawBevel(painter, outer.adjusted(1, 1, -1, -1), light, shadow);
    }

private:
    static void DrawBevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
    {
        painter.setPen(topLeft);
        painter.drawLine(r.left(), r.top(), r.right(), r.top());
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
        painter.setPen(bottomRight);
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    }
};

// The OK button of a Windows dialog's standard kind: the system's OK glyph
// `margin` pixels inside the left edge, the caption 4 pixels after it.
class OkGlyphButton final : public TGlyphButton {
public:
    OkGlyphButton(int margin, QWidget* parent)
        : TGlyphButton(QStyle::SP_DialogOkButton, QStringLiteral("OK"), parent)
        , margin_(margin)
    {
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        painter.drawControl(QStyle::CE_PushButton, option); // the face and the focus frame

        constexpr int frame = 2; // the button's own edge
        constexpr int spacing = 4;
        const QSize glyph = iconSize();
        const int glyphLeft = frame + margin_;
        const QRect glyphRect(QPoint(glyphLeft, (height() - glyph.height()) / 2), glyph);
        icon().paint(&painter, glyphRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const QRect captionRect(
            glyphRect.right() + 1 + spacing, 0, width() - glyphRect.right() - 1 - spacing, height());
        painter.drawItemText(
            captionRect, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), text(), QPalette::ButtonText);
    }

private:
    int margin_;
};

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    AboutBox = this;
    setupUi();
    FormCreate();
    connect(OKButton, &QPushButton::clicked, this, [this] { Application::Guard([this] { OKButtonClick(); }); });
}

TAboutBox::~TAboutBox()
{
    if (AboutBox.Existing() == this)
        AboutBox = nullptr;
}

void TAboutBox::setupUi()
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(252, 175);
    // The desktop's "System" font at 13 pixels; where a system has none of
    // that name, the window font's face stands in.
    QFont font = WindowFont();
    font.setFamilies({ QStringLiteral("System"), WindowFont().family() });
    font.setPixelSize(13);
    setFont(font);

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 8, 233, 105);

    // The icon of every title bar, stretched to the image's size.
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(16, 16, 41, 41);
    ProgramIcon->setScaledContents(true);
    const QIcon icon = QApplication::windowIcon();
    ProgramIcon->setPixmap(icon.pixmap(icon.actualSize(QSize(256, 256))));

    ProductName = new QLabel(QStringLiteral("Valdemor"), Panel1);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    ProductName->move(64, 16);
    ProductName->adjustSize();

    Version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(ProgramVersionText), Panel1);
    Version->setObjectName(QStringLiteral("Version"));
    Version->move(136, 40);
    Version->adjustSize();

    Copyright = new QLabel(QStringLiteral("-"), Panel1);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Copyright->move(8, 72);

    OKButton = new OkGlyphButton(2, this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(85, 130, 90, 31);
    OKButton->setAutoDefault(true);
    setFocusProxy(OKButton);
}

void TAboutBox::FormCreate()
{
    // Where the program keeps its files, the home folder written as "~"; a
    // long path loses its middle so that the line stays inside the panel.
    QString folder = QDir::toNativeSeparators(DataDirectory());
    const QString home = QDir::homePath() + u'/';
    if (home.size() > 1 && folder.startsWith(home))
        folder = QStringLiteral("~/") + folder.mid(home.size());
    const QString lead = QStringLiteral("保存先: ");
    const QFontMetrics metrics(Copyright->font());
    const int room = Panel1->width() - 3 - Copyright->x() - metrics.horizontalAdvance(lead);
    Copyright->setText(lead + metrics.elidedText(folder, Qt::ElideMiddle, room));
    Copyright->setToolTip(DataDirectory());
    Copyright->adjustSize();
}

void TAboutBox::Open()
{
    if (!isVisible()) {
        // The data folder may have moved since the last time.
        FormCreate();
        CentreOnMainWindow(*this);
        OKButton->setFocus();
    }
    show();
    raise();
    activateWindow();
}

void TAboutBox::OKButtonClick() { close(); }

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window as OK does.
    if (event->key() == Qt::Key_Escape) {
        OKButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}
