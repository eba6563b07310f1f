// zantro-bench-gui: drives the export window on an installation (ZANTRO_HOME) as a bookkeeper
// would, and prints for each step its time, the longest stall of the window's event loop and the
// process's peak memory during the step. Run by bench/gui/run (see bench/README.md), under the
// offscreen platform; not part of the test run.
//
//   zantro-bench-gui [--export N] [--json FILE]
//
// Steps: the data module opened as the main window opens it, the dialog shown, Search (F5) of
// cash sales, Select All (Ctrl+A), a sort on two column titles, one row unticked, a scroll to the
// end, Clear answered Yes, Search again, N documents ticked (not timed) and exported.
//
// The event loop's stalls are measured by a timer every 20 ms: a stall is the gap between two of
// its ticks. Peak memory is the kernel's high-water mark of the process (VmHWM), reset before
// each step.
#include "core/app_context.h"
#include "core/message_service.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/ui/dlg_export_to_acct.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_choice.h"
#if __has_include("export/ui/posted_documents_dialog.h")
#include "export/ui/posted_documents_dialog.h"
#define ZANTRO_BENCH_POSTED_DOCUMENTS
#endif

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Answers every question Yes and every box OK, and keeps the texts for the report.
class BenchMessages : public MessageService {
public:
    MessageAnswer show(MessageKind kind, const QString& text) override {
        texts << text;
        if (kind == MessageKind::Error)
            std::fprintf(stderr, "error box: %s\n", qPrintable(text));
        return kind == MessageKind::Confirmation ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    QStringList texts;
};

qint64 peakKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct Step {
    QString name;
    double seconds = 0;
    double stall = 0;
    double peakMb = 0;
    QString note;
};

class Bench : public QObject {
public:
    Bench(int exportCount, QString jsonPath)
        : exportCount_(exportCount), jsonPath_(std::move(jsonPath)) {
        clock_.start();
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(20);
        connect(&ticker_, &QTimer::timeout, this,
                [this] { ticks_.push_back(clock_.nsecsElapsed()); });
        ticker_.start();
    }

    void run() {
        messages_ = std::make_shared<BenchMessages>();
        AppContext::instance().setMessages(messages_);
        ChooseAccountingPackage();

        step("Open the data module", [this] {
            data_ = std::make_unique<TdmPolling>();
            dmPolling = data_.get();
        });
        step("Open the export dialog", [this] {
            dialog_ = std::make_unique<TdlgExportToAcct>();
            dialog_->setRunUser(QStringLiteral("ADMIN"));
            dialog_->show();
            auto* tree = dialog_->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
            tree->setCurrentItem(
                tree->findItems(QStringLiteral("Sales"), Qt::MatchExactly).value(0));
            dialog_->TreeView1Click();
        });
        step(
            "Search (F5)", [this] { QTest::keyClick(dialog_.get(), Qt::Key_F5); },
            [this] { return QStringLiteral("%1 rows").arg(rows()); });
        step("Select All (Ctrl+A)",
             [this] { QTest::keyClick(dialog_.get(), Qt::Key_A, Qt::ControlModifier); });
        step("Sort on Net Amt.", [this] { clickTitle(QStringLiteral("Net Amt.")); });
        step("Sort on Doc No", [this] { clickTitle(QStringLiteral("Doc No")); });
        step("Untick one row", [this] {
            QTableView* view = grid();
            QAbstractItemModel* model = view->model();
            view->setCurrentIndex(model->index(0, 1));
            model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
            // Leaving the row is what saves a tick where it is not written at once.
            view->setCurrentIndex(model->index(1, 1));
        });
        step("Scroll to the end", [this] {
            grid()->scrollToBottom();
            grid()->viewport()->repaint();
        });
        step("Clear, Yes",
             [this] { dialog_->findChild<QPushButton*>(QStringLiteral("btnClear"))->click(); });
        step(
            "Search again", [this] { QTest::keyClick(dialog_.get(), Qt::Key_F5); },
            [this] { return QStringLiteral("%1 rows").arg(rows()); });
        const int ticked = tickFirst(exportCount_);
        step(
            QStringLiteral("Export %1 ticked").arg(ticked),
            [this] { dialog_->findChild<QPushButton*>(QStringLiteral("btnExport"))->click(); },
            [this] {
                return messages_->texts.value(messages_->texts.size() - 1).replace("\r\n", " / ");
            });
#ifdef ZANTRO_BENCH_POSTED_DOCUMENTS
        step("Posted documents window", [this] {
            TdlgPostedDocuments posted(dialog_.get());
            posted.show();
            // Open until it shows what it read, as a bookkeeper would look at it.
            while (posted.isReading()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                QThread::msleep(2);
            }
            posted.close();
        });
#endif

        report();
        dialog_.reset();
        dmPolling = nullptr;
        data_.reset();
        // As the program does at its end: the package's object goes before the application.
        ReleaseBizApp();
        QApplication::quit();
    }

private:
    bool busy() const {
        if (!dialog_)
            return false;
        // A window whose work ends before its handler returns has no such property.
        const QVariant busy = dialog_->property("busy");
        return busy.isValid() && busy.toBool();
    }

    QTableView* grid() const {
        return dialog_->findChild<QTableView*>(QStringLiteral("wwDBGrid2"));
    }

    int rows() const {
        QTableView* view = grid();
        return view && view->model() ? view->model()->rowCount() : 0;
    }

    void clickTitle(const QString& title) {
        QTableView* view = grid();
        QHeaderView* header = view->horizontalHeader();
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            if (view->model()->headerData(column, Qt::Horizontal).toString() != title)
                continue;
            const QPoint at(header->sectionViewportPosition(column) +
                                header->sectionSize(column) / 2,
                            header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            return;
        }
        std::fprintf(stderr, "no column titled %s\n", qPrintable(title));
    }

    // Ticks the first rows of cash sales in the work table, as a bookkeeper's choice would.
    int tickFirst(int count) {
        data_->dbStk.execute(QStringLiteral("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'F' WHERE "
                                            "S_MODULE = 'SL_CS'"));
        return data_->dbStk.execute(
            QStringLiteral("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T' WHERE S_MODULE = "
                           "'SL_CS' ORDER BY S_STORE_FROM, S_ID, S_REFNO ROWS %1")
                .arg(count));
    }

    void step(const QString& name, const std::function<void()>& action,
              const std::function<QString()>& note = {}) {
        std::fprintf(stderr, "%s ...\n", qPrintable(name));
        // Let the window settle before the step.
        settle(200);
        resetPeak();
        const qint64 start = clock_.nsecsElapsed();
        action();
        // A key presses its button 100 ms later (the button is shown pressed meanwhile), and the
        // timer ticks at least once after the action, so a stall inside it shows.
        settle(150);
        while (busy()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 end = clock_.nsecsElapsed();
        settle(60);
        Step done;
        done.name = name;
        done.seconds = (end - start) / 1e9;
        done.stall = longestGap(start, clock_.nsecsElapsed()) / 1e9;
        done.peakMb = peakKilobytes() / 1024.0;
        if (note)
            done.note = note();
        std::fprintf(stderr, "  %.3f s, stall %.3f s, peak %.0f MB %s\n", done.seconds, done.stall,
                     done.peakMb, qPrintable(done.note));
        steps_.push_back(done);
    }

    void settle(int ms) {
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
    }

    // The longest gap between two ticks of the timer that touches [from, to].
    qint64 longestGap(qint64 from, qint64 to) const {
        qint64 longest = 0;
        for (size_t i = 1; i < ticks_.size(); ++i) {
            if (ticks_[i] < from || ticks_[i - 1] > to)
                continue;
            longest = std::max(longest, ticks_[i] - ticks_[i - 1]);
        }
        return longest;
    }

    void report() {
        std::printf("%-28s %10s %10s %9s  %s\n", "step", "time s", "stall s", "peak MB", "");
        QJsonArray list;
        for (const Step& each : steps_) {
            std::printf("%-28s %10.3f %10.3f %9.0f  %s\n", qPrintable(each.name), each.seconds,
                        each.stall, each.peakMb, qPrintable(each.note));
            list.append(QJsonObject{{QStringLiteral("step"), each.name},
                                    {QStringLiteral("seconds"), each.seconds},
                                    {QStringLiteral("stall"), each.stall},
                                    {QStringLiteral("peakMB"), each.peakMb},
                                    {QStringLiteral("note"), each.note}});
        }
        std::fflush(stdout);
        if (!jsonPath_.isEmpty()) {
            QFile out(jsonPath_);
            if (out.open(QIODevice::WriteOnly))
                out.write(QJsonDocument(list).toJson());
        }
    }

    int exportCount_;
    QString jsonPath_;
    QElapsedTimer clock_;
    QTimer ticker_;
    std::vector<qint64> ticks_;
    std::vector<Step> steps_;
    std::shared_ptr<BenchMessages> messages_;
    std::unique_ptr<TdmPolling> data_;
    std::unique_ptr<TdlgExportToAcct> dialog_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int exportCount = 1000;
    QString jsonPath;
    const QStringList arguments = app.arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--export") && i + 1 < arguments.size())
            exportCount = arguments.at(++i).toInt();
        else if (arguments.at(i) == QLatin1String("--json") && i + 1 < arguments.size())
            jsonPath = arguments.at(++i);
    }
    Bench bench(exportCount, jsonPath);
    QTimer::singleShot(0, &bench, [&bench] { bench.run(); });
    return app.exec();
}
