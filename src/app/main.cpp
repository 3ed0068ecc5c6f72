// qz7cont: remote-control panel for one or two HD video disk recorders.
#include <QTextStream>
#include <cstdio>
#include <exception>

#include "app/application.h"
#include "ui/error_box.h"
#include "app/options.h"
#include "ui/forms.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    qz7::Application app(argc, argv);
    const qz7::Options options = qz7::parseOptions(app.arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "qz7cont: %s\n%s", qPrintable(options.error), qPrintable(qz7::usageText()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(qz7::usageText()), stdout);
        return 0;
    }
    try {
        qz7::Forms forms(options.devices);
        forms.form1()->show();
        app.exec();
    } catch (const std::exception& e) {
        qz7::ErrorBox::show(QString::fromUtf8(e.what()));
        app.exec();
    }
    return 0;
}
