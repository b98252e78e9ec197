// Saving and opening a pad document of 10,000 notes as MusicXML, through the file functions the
// pad calls (SaveMusicXml, OpenMusicXml) on a file in a temporary folder, and the conversions
// alone in memory. The counters give the file's size and notes a second.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <cstdlib>

#include "musicxml.h"

namespace {

using namespace keymora::pad;

// 10,000 entries: every value, sharps and flats, notes on both staves, a rest every seventh, so
// that bar lines split many of them.
TNoteList Document() {
    std::vector<TEntry> E;
    E.reserve(10000);
    for (int I = 0; I < 10000; ++I) {
        if (I % 7 == 6)
            E.push_back({true, 0, 0, 0, I % 5});
        else
            E.push_back({false, 3 + I % 5, 1 + I % 7, I % 3 - 1, (I * 3) % 8});
    }
    TNoteList L;
    L.Assign(std::move(E), {3, 4}, 100);
    return L;
}

void Fail(benchmark::State& State, const QString& Error) {
    State.SkipWithError(Error.toStdString().c_str());
}

void BM_SaveMusicXml(benchmark::State& State) {
    const TNoteList L = Document();
    QTemporaryDir Folder;
    const QString Path = Folder.filePath(QStringLiteral("doc.musicxml"));
    QString Error;
    for (auto _ : State)
        if (!SaveMusicXml(Path, L, Error)) return Fail(State, Error);
    State.SetItemsProcessed(State.iterations() * L.Size());
    State.counters["bytes"] = static_cast<double>(ToMusicXml(L).size());
}
BENCHMARK(BM_SaveMusicXml)->Unit(benchmark::kMillisecond);

void BM_OpenMusicXml(benchmark::State& State) {
    const TNoteList L = Document();
    QTemporaryDir Folder;
    const QString Path = Folder.filePath(QStringLiteral("doc.musicxml"));
    QString Error;
    if (!SaveMusicXml(Path, L, Error)) return Fail(State, Error);
    for (auto _ : State) {
        TNoteList Back;
        if (!OpenMusicXml(Path, Back, Error)) return Fail(State, Error);
        if (!(Back == L)) return Fail(State, QStringLiteral("the document read back differs"));
        benchmark::DoNotOptimize(Back);
    }
    State.SetItemsProcessed(State.iterations() * L.Size());
}
BENCHMARK(BM_OpenMusicXml)->Unit(benchmark::kMillisecond);

void BM_ToMusicXml(benchmark::State& State) {
    const TNoteList L = Document();
    for (auto _ : State) benchmark::DoNotOptimize(ToMusicXml(L));
    State.SetItemsProcessed(State.iterations() * L.Size());
}
BENCHMARK(BM_ToMusicXml)->Unit(benchmark::kMillisecond);

void BM_FromMusicXml(benchmark::State& State) {
    const TNoteList L = Document();
    const QByteArray Data = ToMusicXml(L);
    QString Error;
    for (auto _ : State) {
        TNoteList Back;
        if (!FromMusicXml(Data, Back, Error)) return Fail(State, Error);
        benchmark::DoNotOptimize(Back);
    }
    State.SetItemsProcessed(State.iterations() * L.Size());
}
BENCHMARK(BM_FromMusicXml)->Unit(benchmark::kMillisecond);

}  // namespace
