// The web pane's page on Qt WebEngine, built as the library the main
// window loads when the pane first opens.

#include "web/browser.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <unistd.h>

// Qt's own modules set the context every OpenGL context of the process
// shares with through this; it is exported for them.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {

// Reports every navigation before it starts, frames included, and opens
// what asks for a new window in this page: the pane has no other windows.
class NavigationPage final : public QWebEnginePage {
public:
    NavigationPage(std::function<void(const QUrl&)> report, QObject* parent)
        : QWebEnginePage(parent), report_(std::move(report)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        report_(url);
        return true;
    }
    QWebEnginePage* createWindow(WebWindowType) override;

private:
    std::function<void(const QUrl&)> report_;
};

// Stands in for a new window just long enough to learn its address, which
// the pane's page then opens.
class WindowRequest final : public QWebEnginePage {
public:
    explicit WindowRequest(QWebEnginePage* target)
        : QWebEnginePage(target->profile(), target), target_(target) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        target_->setUrl(url);
        deleteLater();
        return false;
    }

private:
    QWebEnginePage* target_;
};

QWebEnginePage* NavigationPage::createWindow(WebWindowType) {
    return new WindowRequest(this);
}

class WebEngineBrowser final : public QWidget, public Browser {
public:
    explicit WebEngineBrowser(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
        view_->setPage(new NavigationPage(
            [this](const QUrl& url) {
                if (beforeNavigate)
                    beforeNavigate(url.toString());
            },
            view_));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
    }

    QWidget* widget() override { return this; }
    void navigate(const QString& address) override {
        const QUrl url = QUrl::fromUserInput(address);
        if (url.isValid()) // a blank address opens nothing
            view_->setUrl(url);
    }
    void goBack() override { view_->back(); }
    void goForward() override { view_->forward(); }
    void refresh() override { view_->reload(); }

private:
    QWebEngineView* view_;
};

} // namespace

extern "C" Q_DECL_EXPORT Browser* melodara_createBrowser(QWidget* parent) {
    // These settings take effect when the engine's first page is created.
    //
    // Chromium's sandbox drops to an unprivileged user, which a process
    // running as root cannot do, so the engine refuses to start as root
    // with it on. Only then is it turned off (the engine's --no-sandbox).
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // The engine's own pages (a page that cannot be opened) speak the
    // program's language, whatever the system's locale.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--lang=")) {
        flags += flags.isEmpty() ? "--lang=ja" : " --lang=ja";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
    // The engine draws with OpenGL contexts shared with one the process
    // keeps for it. Qt makes that context when the application starts if
    // asked to beforehand, which would cost every start-up a context the
    // pane may never use; the pane makes it now instead.
    if (!QOpenGLContext::globalShareContext()) {
        auto* share = new QOpenGLContext(QCoreApplication::instance());
        share->create();
        qt_gl_set_global_share_context(share);
    }
    return new WebEngineBrowser(parent);
}
