// One truss: its bars, supports and loads, the joints derived from them, equations, file and undo.
#pragma once

#include "Entities.h"

#include <QRectF>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// Most joints a truss holds: two equations each fill the solver's 200 rows.
constexpr int MaxStycniky = 100;

// Largest item count a truss file may declare per section: five times the unknowns the equations
// can hold (a truss of more bars can never be solved), low enough that a damaged or hostile file
// of a few bytes cannot keep the program loading, saving and undoing for seconds.
constexpr int MaxFileItemCount = 1000;

// Largest truss file that is read: a file of MaxFileItemCount items in each section takes well
// under 1 MiB, so anything this large is not a truss; the bound keeps a mistaken name (a disk
// image, a log) from filling the memory.
constexpr qint64 MaxTrussFileSize = 64 * 1024 * 1024;

// A truss file that cannot be read or written; the message says why.
class ETrussFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The two totals of one cell of the joint probe.
struct TProbeResult {
    double SumAbs = 0;
    double SumSq = 0;
};
// Probe cells indexed [x offset + 3][y offset + 3].
using TProbeGrid = std::array<std::array<TProbeResult, 7>, 7>;

// The units of a document. Geometry stays in drawing units; Delka says how long one of them is,
// so lengths and displacements shown to the user are in the length unit and EA in force units.
struct TTrussUnits {
    double Delka = 1;      // length of one drawing unit, in the length unit; a real > 0
    QString JednotkaDelky; // name of the length unit, such as "m"; empty when unnamed
    QString JednotkaSily;  // name of the force unit, such as "kN"
    bool IsDefault() const;
    bool operator==(const TTrussUnits&) const = default;
};

// A unit name as a file line can hold it: line breaks and other control characters become
// blanks, and blanks at either end go (the reader strips them).
QString CleanUnitName(const QString& name);

// A truss file read into sections and entries, before it is applied to a truss.
struct TTrussFileContent;
struct TTrussItems;
struct TItemIndices;

class TPrutovaSoustava {
public:
    TPrutovaSoustava();
    ~TPrutovaSoustava();
    TPrutovaSoustava(const TPrutovaSoustava&) = delete;
    TPrutovaSoustava& operator=(const TPrutovaSoustava&) = delete;

    // Editing.
    void AddPrut(int saX, int saY, int sbX, int sbY);
    void AddPodpera(int x, int y, TFixedSet fixed, std::uint8_t kv);
    void AddSila(int x, int y, double sila, double uhel);
    void MoveStycnik(QPoint from, QPoint to);
    void Clear();
    int FindStycnik(int x, int y) const;

    // Counts and totals.
    int PrutCount() const { return static_cast<int>(Pruty.size()); }
    int PodperaCount() const { return static_cast<int>(Podpery.size()); }
    int SilaCount() const { return static_cast<int>(Zatizeni.size()); }
    int StycnikCount() const { return static_cast<int>(Stycniky.size()); }
    int ReactionCount() const;
    int StaticIndeterminacy() const;
    double SumAbsSila() const;
    double SumSqSila() const;
    double MaxPrutSila() const;
    double MinPrutSila() const;

    // Accessors.
    TPrut& Prut(int i) { return *Pruty.at(i); }
    const TPrut& Prut(int i) const { return *Pruty.at(i); }
    TPodpera& Podpera(int i) { return *Podpery.at(i); }
    const TPodpera& Podpera(int i) const { return *Podpery.at(i); }
    TSila& Sila(int i) { return *Zatizeni.at(i); }
    const TSila& Sila(int i) const { return *Zatizeni.at(i); }
    TStycnik& Stycnik(int i) { return *Stycniky.at(i); }
    const TStycnik& Stycnik(int i) const { return *Stycniky.at(i); }

    // Draws bars, supports, loads and joints; returns DrawTime in milliseconds.
    double Draw(QPainter& canvas, const TImageList& images);
    // The same through a view, with the labels and the solution state the context names.
    double Draw(QPainter& canvas, const TImageList& images, const TDrawContext& context);
    // The smallest rectangle in drawing units holding every bar, support, joint and load arrow
    // (of zero size for a single point); nothing for an empty truss.
    std::optional<QRectF> Bounds() const;

    // Equations and results. Solve throws ERangeError for a truss of more unknowns than the
    // equations hold; the EquationStore then holds no equations and reports errNoSolution.
    std::uint8_t Solve();
    QString Describe() const;
    void DescribeEquations(QStringList& lines) const;
    int ProbeStycnik(int x, int y, int step, TProbeGrid& results);

    // Files.
    void SaveToStrings(QStringList& lines) const;
    // Everything but the time-stamped Info section: bars, supports, loads and the units.
    void SaveItemsToStrings(QStringList& lines) const;
    void LoadFromStrings(const QStringList& lines);
    bool SaveToFile(const QString& path);
    bool Save();
    // False when no file exists at path; throws ETrussFileError when it exists but cannot be read
    // or is refused (not a regular file, larger than MaxTrussFileSize, too many items), and
    // ERangeError for a support whose Kv lies outside 0..255.
    bool LoadFromFile(const QString& path);

    // Editing whole sets of items (TrussEditing.cpp). Each change is one undo step, and the truss
    // is rebuilt from its items in list order, numbered as a load of its saved text numbers them.
    // The bars, supports and loads as the file text holds them, in list order.
    TTrussItems Items() const;
    void ReplaceItems(const TTrussItems& items);
    void DeleteItems(const TItemIndices& which);
    // Adds extra after the items there are and returns their positions; changes nothing and
    // returns none when a section would then hold more than a file may.
    std::optional<TItemIndices> AppendItems(const TTrussItems& extra);
    // The bars, supports and loads sections of a truss of just these items.
    QStringList ItemsText(const TItemIndices& which) const;

    // Changes since the truss was created empty, loaded or saved.
    void MarkSaved();
    bool IsModified() const;

    // Undo history.
    void PushSnapshot();
    void Undo();
    void Redo();
    void ClearHistory();
    int SnapshotCount() const { return static_cast<int>(Snapshots.size()); }

    std::vector<std::unique_ptr<TPodpera>> Podpery;
    std::vector<std::unique_ptr<TPrut>> Pruty;
    std::vector<QStringList> Snapshots;
    int SnapshotPos = 0;
    bool RecordSnapshots = true;
    QString FileName;
    // The Info entry's value when not empty, in place of the running program's UsageStamp: the
    // example files shipped with the program name no folder of the machine that made them.
    QString InfoStamp;
    // Called after each successful load and save with (FileName, empty text).
    std::function<void(const QString&, const QString&)> OnFileUsed;
    double MinSumAbs = 0;
    double MaxSumAbs = 0;
    double CalcTime = 0;
    double DrawTime = 0;
    std::vector<std::unique_ptr<TSila>> Zatizeni;
    std::vector<std::unique_ptr<TStycnik>> Stycniky;
    // Saved with the document and restored by undo; Clear leaves them.
    TTrussUnits Units;

private:
    QStringList SavedItems;

    static bool SectionFull(int count);

    int NextUnknownNumber() const;
    int NextStycnikNumber() const;
    int AddStycnik(int x, int y);
    // AddPrut and AddPodpera with the unknown numbers given; 0 lets a support number its
    // reactions itself.
    void AddNumberedPrut(int number, int saX, int saY, int sbX, int sbY, double ea = DefaultEA);
    void AddNumberedPodpera(int x, int y, TFixedSet fixed, std::uint8_t kv, int reactionX,
                            int reactionY);
    int AttachVektor(int number, int x, int y, bool known, double uhel, double sila);
    void AttachPrutVektory(const TPrut& prut);
    void AttachPodperaVektory(TPodpera& podpera);
    void AttachSilaVektor(const TSila& sila);
    void RebuildStycniky();
    void RemoveDegeneratePruty();

    void BuildEquations() const;
    void DistributeSolution();
    void StoreUnknown(int k, long double value);

    void ApplyItems(const TTrussItems& items);
    void WriteFileAtomically(const QString& path) const;
};

// Process-wide stopwatch of Solve and Draw.
void StartTimer();
double ElapsedMs();

// Sounds when a bar of length 0 cannot attach its vectors; the desktop program sets it to the
// system beep. BeepCount counts every such sound.
extern std::function<void()> OnBeep;
extern int BeepCount;
