// Excel export of many rows: throughput of rows written on the processing side,
// resident memory while the rows go out (constant-memory workbook), and the time
// the final save takes. One protocol with eight numeric columns, as a positioning
// frame exports them, or a row as wide as an anchor frame reporting 30 tags
// (6 frame columns, then 12 per tag: id, x, y, z, eight distances).

#include "BenchEnv.h"
#include "foundation/UserPaths.h"
#include "protocol/ProtocolBase.h"
#include "record/DataExportObserver.h"
#include "views/ViewHooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <thread>
#include <string>

namespace {

double residentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

class PositionProtocol : public ProtocolBase, public DataExportObserver
{
public:
    // tags 0: the eight columns of a positioning frame; otherwise the anchor layout.
    explicit PositionProtocol(int tags)
        : ProtocolBase("Vexa_Trelvan_Node_Frame1")
        , DataExportObserver(this)
        , tags_(tags)
    {
        head_ = QByteArray("\x55\x03", 2);
        if (tags == 0) {
            exportColumns_ = QStringList{"Index", "Role", "Id", "X", "Y", "Z", "Distance", "Quality"};
            return;
        }
        exportColumns_ = QStringList{"Plr", "Role", "Id", "LocalTime", "SystemTime", "Voltage"};
        for (int t = 0; t < tags; ++t) {
            exportColumns_ << "Id" << "Pos.x" << "Pos.y" << "Pos.z";
            for (int d = 0; d < 8; ++d)
                exportColumns_ << QString("Dis[%1]").arg(d);
        }
    }
    void parseFrame(const QByteArray&) override {}
    QList<QVariant> fillExportRow() override
    {
        ++n_;
        if (tags_ == 0)
            return {n_, 2, int(n_ % 8), 1.25 * (n_ % 1000), -0.5 * (n_ % 777), 0.001 * n_, 3.75 + (n_ % 100) * 0.01,
                    int(n_ % 100)};
        QList<QVariant> row;
        row.reserve(exportColumns_.size());
        row << 0.98 << 1 << 7 << quint32(1000 + n_) << quint32(1007 + n_) << 3.7;
        for (int t = 0; t < tags_; ++t) {
            row << t << 0.001 * (n_ % 9000 + t) << 0.002 * (n_ % 700) << 1.0;
            for (int d = 0; d < 8; ++d)
                row << 0.01 * (300 + 10 * d + (n_ + t) % 50);
        }
        return row;
    }

private:
    int tags_;
    qint64 n_ = 0;
};

void BM_ExportRows(benchmark::State& state)
{
    const qint64 rows = state.range(0);
    const int tags = int(state.range(1));
    QTemporaryDir dir;
    exportDataDir = dir.path();
    tempDir = dir.path();
    ViewHooks::setOpenFolderHook([](const QString&) {});
    PositionProtocol protocol(tags);
    protocol.setActive(true);
    DataExportSubject* subject = DataExportSubject::instance();

    for (auto _ : state) {
        const double before = residentMiB();
        double peakWhileWriting = before;
        QElapsedTimer clock;
        clock.start();
        subject->setExporting(true);
        for (qint64 i = 0; i < rows; ++i) {
            protocol.exportRow();
            if ((i & 0xFFFF) == 0)
                peakWhileWriting = std::max(peakWhileWriting, residentMiB());
        }
        const double writeSeconds = clock.nsecsElapsed() / 1e9;
        const double afterRows = residentMiB();
        clock.restart();
        const bool ended = subject->setExporting(false);
        const double endCallSeconds = clock.nsecsElapsed() / 1e9;
        double peakWhileSaving = afterRows;
        std::atomic<bool> finished{false};
        bool saved = false;
        std::thread watcher([&] {
            saved = subject->waitForSaves();
            finished = true;
        });
        while (!finished.load()) {
            peakWhileSaving = std::max(peakWhileSaving, residentMiB());
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        watcher.join();
        const double closeSeconds = clock.nsecsElapsed() / 1e9;
        if (!ended || !saved)
            state.SkipWithError("save failed");
        state.counters["end_call_ms"] = endCallSeconds * 1000;
        state.counters["rss_peak_saving_MiB"] = peakWhileSaving;
        state.counters["rows_per_s"] = rows / writeSeconds;
        state.counters["write_s"] = writeSeconds;
        state.counters["close_s"] = closeSeconds;
        state.counters["rss_before_MiB"] = before;
        state.counters["rss_peak_writing_MiB"] = peakWhileWriting;
        state.counters["rss_growth_MiB"] = afterRows - before;
        state.counters["file_MiB"] = QFileInfo(subject->fileName()).size() / 1048576.0;
        state.counters["columns"] = protocol.exportColumns().size();
        QFile::remove(subject->fileName());
    }
}
// Arguments: rows, tags (0: eight columns; 30: 6 + 12 × 30 columns).
BENCHMARK(BM_ExportRows)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({2000000, 0})
    ->Args({10000, 30})
    ->Args({100000, 30})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    benchenv::usePrivateHome();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
