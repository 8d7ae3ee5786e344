#pragma once

#include <QWidget>

class QToolBar;
class QToolButton;
class QWebEngineView;

namespace tolvane {

// The homepage window frmInfo: the maker's home page in an embedded browser with three
// navigation buttons. It is not modal and stays in front of the main window; closing it only
// hides it, so the page and its history stay for the next showing.
class TfrmInfo : public QWidget {
    Q_OBJECT
public:
    // The home page, without a scheme.
    static constexpr const char* kHomePage = "www.example.org";

    explicit TfrmInfo(QWidget* parent = nullptr);

    QWebEngineView* browser() const { return WebBrowser; }

public Q_SLOTS:
    void tbbtnBackClick();
    void tbbtnforwardClick();
    void tbbtnhomeClick();

private:
    void FormCreate();
    void navigateHome();
    QToolButton* addButton(const QString& name, const QIcon& icon, const QString& caption, const QString& hint,
                           void (TfrmInfo::*slot)());

    QToolBar* tbarInfo = nullptr;
    QWebEngineView* WebBrowser = nullptr;
};

} // namespace tolvane
