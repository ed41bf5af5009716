#pragma once

// The user guide "ヘルプ" in a window of the program: the installed HTML pages
// with their links and images, back and forward, and a button that hands the
// page on show to the desktop's browser for those who prefer it. One window
// for the whole run, made when first asked for.

#include <QWidget>

class QPushButton;
class QTextBrowser;

class THelpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // Shows the guide's page `page` (a file path), centred on the main window
    // and in front; a window already open goes to that page.
    void ShowGuide(const QString& page);

    QTextBrowser* Browser = nullptr;
    QPushButton* BackButton = nullptr; // 戻る
    QPushButton* ForwardButton = nullptr; // 進む
    QPushButton* BrowserButton = nullptr; // ブラウザで開く
    QPushButton* CloseButton = nullptr; // 閉じる

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
