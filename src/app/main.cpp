#include "app/mainwindow.h"
#include "app/qttranslations.h"
#include "base/messageboxpresenter.h"
#include "base/messagecatalogue.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kDefaultMessageTitle);
    if (!installQtTranslations(app))
        qWarning("Qt's Japanese translations are not installed; standard buttons stay English.");

    MessageBoxPresenter boxes;
    msgbox::setPresenter(&boxes);

    int rc = 0;
    {
        frmMain window;
        if (window.Form_Load()) {
            window.show();
            rc = app.exec();
        }
    }
    msgbox::setPresenter(nullptr);
    return rc;
}
