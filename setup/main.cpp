// The installer: one window that writes the installation it carries.
#include "EmbeddedPayload.h"
#include "SetupPrompts.h"
#include "TForm1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    sonvela::QtSetupPrompts prompts;
    sonvela::TForm1 form(sonvela::EmbeddedInstallFiles(), prompts);
    form.show();
    return QApplication::exec();
}
