#include "app/messageboxpresenter.h"
#include "app/messagecatalogue.h"
#include "data/adoconnector.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(kDefaultMessageTitle);

    MessageBoxPresenter boxes;
    msgbox::setPresenter(&boxes);

    ADO_Connector connector;
    gConnector = &connector;

    QMainWindow window;
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowTitle(kDefaultMessageTitle);
    window.resize(960, 640);
    window.show();

    const int rc = app.exec();
    gConnector = nullptr;
    msgbox::setPresenter(nullptr);
    return rc;
}
