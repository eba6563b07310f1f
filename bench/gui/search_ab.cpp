// zantro-search-ab: the export window's search of cash sales (off its thread, in one
// transaction, the rows' order and the ticked totals read after it) against the batch command's
// search (DocumentSearch, the rows counted), alternating on one installation (ZANTRO_HOME), so
// that both meet the same load of the machine. Before each timed search the kind is emptied and
// the table swept (untimed), so neither pays for the rows the other left.
//
//   zantro-search-ab [ROUNDS]
//
// Prints one line per round and the medians.
#include "config/settings_file.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/work_table_worker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    TdmPolling data(TdmPolling::OpenMode::ConnectionsOnly);
    dmPolling = &data;
    const SettingsFile settings;
    DocumentSearch batch(data, settings, DocumentSearch::ViewReading::CountOnly);
    WorkTableWorker worker;
    const auto sweep = [&] {
        data.dbStk.execute(QStringLiteral("DELETE FROM TMP_EXPORT_ACCT WHERE S_MODULE = 'SL_CS'"));
        SelectValue(data.dbStk, QStringLiteral("SELECT COUNT(*) FROM TMP_EXPORT_ACCT"));
    };
    std::vector<double> batchTimes, windowTimes;
    for (int round = 1; round <= rounds; ++round) {
        sweep();
        QElapsedTimer clock;
        clock.start();
        const int rows = batch.SearchStockDocuments(QStringLiteral("SL_CS"), StockSearchFilter{});
        batchTimes.push_back(clock.elapsed() / 1000.0);

        sweep();
        WorkTableRequest request;
        request.action = WorkTableRequest::Action::Search;
        request.moduleCode = QStringLiteral("SL_CS");
        request.plan = PlanStockSearch(request.moduleCode, StockSearchFilter{}, settings);
        QEventLoop loop;
        WorkTableResult result;
        const auto connection = QObject::connect(&worker, &WorkTableWorker::finished, &loop,
                                                 [&](const WorkTableResult& ended) {
                                                     result = ended;
                                                     loop.quit();
                                                 });
        clock.restart();
        worker.start(request);
        loop.exec();
        windowTimes.push_back(clock.elapsed() / 1000.0);
        QObject::disconnect(connection);
        if (result.ending != WorkTableResult::Ending::Done) {
            std::fprintf(stderr, "the window's search failed: %s\n", qPrintable(result.error));
            return 1;
        }
        std::printf("round %d: batch %.2f s (%d rows), window %.2f s (%lld rows)  ratio %.2f\n",
                    round, batchTimes.back(), rows, windowTimes.back(),
                    static_cast<long long>(result.keys.size() / 8),
                    windowTimes.back() / batchTimes.back());
        std::fflush(stdout);
    }
    std::printf("median: batch %.2f s, window %.2f s, ratio %.2f\n", median(batchTimes),
                median(windowTimes), median(windowTimes) / median(batchTimes));
    dmPolling = nullptr;
    return 0;
}
