// Undo and redo through snapshots of the truss in its file format.
#include "TrussSystem.h"

namespace {

// Replays a state without recording it, and records again afterwards whatever happens.
class TReplayGuard {
public:
    explicit TReplayGuard(bool& record) : record(record) { record = false; }
    ~TReplayGuard() { record = true; }
    TReplayGuard(const TReplayGuard&) = delete;
    TReplayGuard& operator=(const TReplayGuard&) = delete;

private:
    bool& record;
};

} // namespace

void TPrutovaSoustava::PushSnapshot() {
    if (!RecordSnapshots)
        return;
    while (SnapshotCount() > SnapshotPos)
        Snapshots.pop_back();
    QStringList lines;
    SaveToStrings(lines);
    Snapshots.push_back(std::move(lines));
    ++SnapshotPos;
}

void TPrutovaSoustava::Undo() {
    if (SnapshotPos == 0)
        return;
    --SnapshotPos;
    if (SnapshotPos == 0) {
        Clear();
        return;
    }
    TReplayGuard guard(RecordSnapshots);
    LoadFromStrings(Snapshots[static_cast<size_t>(SnapshotPos - 1)]);
}

void TPrutovaSoustava::Redo() {
    if (SnapshotPos >= SnapshotCount())
        return;
    ++SnapshotPos;
    TReplayGuard guard(RecordSnapshots);
    LoadFromStrings(Snapshots[static_cast<size_t>(SnapshotPos - 1)]);
}

void TPrutovaSoustava::ClearHistory() {
    while (!Snapshots.empty())
        Snapshots.pop_back();
    SnapshotPos = 0;
}
