// tempik-config: the window of the reader configuration tool. No command-line options; the
// configuration folder is the platform's ($XDG_CONFIG_HOME/KESTO).
#include "link/port_map.h"
#include "ui/window/application.h"
#include "ui/window/frm_module.h"
#include "ui/window/production_seams.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    try {
        tempik::setUpApplication(application);
        tempik::ProductionSeams production(tempik::configurationFolder());
        tempik::TfrmModule frmModule(production.seams());
        frmModule.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        tempik::showError(nullptr, QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
