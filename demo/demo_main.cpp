// zantro-demo: creates a demo installation of the accounting link.
#include "core/app_context.h"
#include "core/app_error.h"
#include "demo/demo_files.h"
#include "demo/demo_installation.h"
#include "demo/demo_options.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

// Exit status of a command line the generator refuses (bad usage, a folder already in use).
constexpr int kRefused = 2;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    DemoOptions options;
    try {
        if (!ParseDemoOptions(app.arguments().mid(1), options)) {
            std::fputs(qPrintable(DemoUsage()), stdout);
            return 0;
        }
        const DemoSummary summary = CreateDemoInstallation(options);
        std::fputs(qPrintable(DemoSummaryText(summary)), stdout);
    } catch (const DemoUsageError& error) {
        Messages().error(error.message());
        return kRefused;
    } catch (const InstallationExistsError& error) {
        Messages().error(error.message());
        return kRefused;
    } catch (const AppError& error) {
        Messages().error(error.message());
        return 1;
    }
    return 0;
}
