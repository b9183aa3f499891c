#pragma once
// The block being worked on, held in one place: what the user has entered
// for it (the name, the planes in both entry notations, the parameter texts
// and the water mode), the planes and the name taken in by the last confirm,
// the results of its last analysis, and whether anything entered has not yet
// been loaded over or confirmed. Loading, confirming, writing the block's
// data file and analysing all go through here (its reports and drawing are
// written by the commands, commands/block_exports.h); windows show the
// document and pass the user's edits in, so nothing the user typed lives
// only in a widget.
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "document/loads_entries.h"
#include "document/study_records.h"
#include "model/block.h"
#include "model/datafile.h"
#include "model/loads.h"
#include "report/figures.h"

namespace trelmox {

// The plane entry texts exactly as typed: the quadrant-notation texts and,
// per plane, the dip angle and dip direction of the other notation. Both
// are kept because the user may switch notation without confirming.
struct PlaneEntries {
    PlaneQuadrantArray Quadrants{};
    std::array<std::array<std::string, 2>, PlaneCount> Dips{};
    bool operator==(const PlaneEntries&) const = default;
};
inline constexpr int DipAngleField = 0, DipDirectionField = 1;

// What a file writer says when no block has been confirmed yet.
inline constexpr const char* NoConfirmedBlockMessage =
    "尚未确认块体：请先在“结构面数据输入”中输入块体名称和结构面数据并按“确定”";

// What a window shows in place of results that no longer belong to the
// block as it stands.
inline constexpr const char* StaleResultsNote = "结果已过期，请重新分析";
// The two above in the interface's language.
const char* noConfirmedBlockMessage();
const char* staleResultsNote();

// The block's files written by one command, for telling the user.
using WrittenFiles = std::vector<std::filesystem::path>;

class BlockDocument {
public:
    BlockDocument(std::filesystem::path dataFolder, std::filesystem::path reportFolder);

    const std::filesystem::path& dataFolder() const { return dataFolder_; }
    const std::filesystem::path& reportFolder() const { return reportFolder_; }

    // Called after every change, so that every view can show the change.
    void addListener(std::function<void()> listener);

    // What the user enters. Changing a plane or a parameter text (not the
    // name) counts as an edit that a load must not discard unasked.
    const std::string& entryName() const { return entryName_; }
    void setEntryName(const std::string& name);
    const PlaneEntries& planeEntries() const { return planes_; }
    void setQuadrantText(int plane, std::string TPlaneQuadrant::*field, const std::string& text);
    void setDipText(int plane, int field, const std::string& text);
    // After the user changes one dip letter of a plane: sets the other one
    // so that the dip quadrant lies on a side the strike allows.
    void matchDipLetters(int plane, bool dipNSChanged);
    const TWedgeParams& params() const { return params_; }
    void setParameterText(std::string TWedgeParams::*field, const std::string& text);
    // Entered mode changes nothing else. Computed mode then fills both
    // computed pressures from the water unit weight and the slope height; a
    // text that is not a number stops that after the mode has switched.
    void setWaterMode(TWaterPressureMode mode);
    // The loads and support as entered; changing them is an edit too.
    const LoadsEntries& loadsEntries() const { return loads_; }
    void setLoadsEntries(const LoadsEntries& entries);
    // The entered loads as numbers; throws LoadsEntryError naming the box.
    WedgeLoads loads() const { return loadsFromEntries(loads_); }
    bool modified() const { return planesEdited_ || parametersEdited_ || loadsEdited_; }
    // The probabilistic and sensitivity analyses' settings and last runs.
    // They are the user's work on the block but not saved with it, so
    // changing them is no edit that quitting asks about.
    StudyRecords& studies() { return studies_; }
    const StudyRecords& studies() const { return studies_; }
    // Which part is unsaved: the planes typed and not confirmed, or the
    // parameters and loads not yet written with the block.
    bool planesModified() const { return planesEdited_; }

    // The confirmed block: the name its files are named after (CurrentBlock)
    // and its planes in both notations.
    const std::string& currentBlock() const { return currentBlock_; }
    const PlaneQuadrantArray& quadrants() const { return quadrants_; }
    const PlaneAttitudeArray& attitudes() const { return attitudes_; }
    // The confirmed planes with the parameters as they stand.
    SavedBlock block() const;
    // What the last analysis of the current block found: a complete run
    // (Kc worked out) of the confirmed block of that name with the loads
    // as entered then.
    const std::optional<BlockRun>& results() const { return results_; }
    // Whether there are results and they were worked out from the block as
    // it stands: a confirm, a parameter or a load changed since leaves
    // results that the block's inputs no longer give.
    bool resultsCurrent() const;
    // Whether the results' Kc, volume, height and plunge still belong to the
    // confirmed planes and parameters (the loads do not enter them).
    bool kcResultsCurrent() const;
    // Those four as shown, only while they are current: a figure is never
    // shown or written beside inputs it was not worked out from.
    std::optional<FigureTexts> figures() const;

    // Fills the entries and the parameters from the data file of the block
    // that the entry name names (up to its first "."); lines the file lacks
    // leave their texts. The water mode follows the file's markers, the
    // loads the block's companion file (the defaults without one). The
    // confirmed block and its results stay. Nothing changes when it fails.
    // A file whose dip lines disagree with its quadrant lines is loaded all
    // the same, so that it can be mended in the boxes; the disagreements are
    // returned for the user to be told.
    std::vector<LineDisagreement> load();
    // Fills the entries and the parameters with another block's planes, in
    // both notations, and its parameters and water mode, e.g. a pair of
    // measured planes set into the current slope. They count as edits that
    // the user confirms like typed ones; the name, the confirmed block and
    // its results stay.
    void enter(const SavedBlock& block);

    // Takes the quadrant (or the dip) entries in as the confirmed planes,
    // converting them into the other notation, and names the block after the
    // entry name up to its first ".". A text that is not a number, or an
    // angle out of range, throws before anything changes; an empty entry
    // name gives false and changes nothing either.
    // A dip direction outside 0..360 is taken in modulo 360.
    bool confirmQuadrants();
    bool confirmDips();
    // Throws what the confirm of that mode would refuse, changing nothing:
    // a text that is not a number, an angle out of range, letters that form
    // no attitude (named by their box: "StrikeNS", "StrikeEW", "DipNS",
    // "DipEW", the plane as the row).
    void checkPlaneEntries(bool dipMode) const;

    // Whether the file writers have a name to go by: they refuse while the
    // entry name is empty or no block has been confirmed (the files are
    // named after the confirmed block; without one they would be ".txt").
    bool named() const { return !entryName_.empty() && !currentBlock_.empty(); }
    // Throws, before anything is written, what reading the block's files
    // back would refuse: no confirmed block, a parameter text that is not a
    // number (the confirm checks the planes' letters and angles), a load
    // text that is not a number. With `parametersMayBeEmpty` parameters not
    // yet entered pass, as when planes are confirmed before the parameters
    // are typed.
    void checkSavable(bool parametersMayBeEmpty) const;
    void checkParameters(bool mayBeEmpty) const;
    // Throws, naming what to do, while no block is confirmed: its files
    // would have no name to go by.
    void requireBlock() const;
    // The data file of the current block, replaced whole. It takes the
    // block's companion file with it (written when the loads differ from
    // the defaults or the block has one already); a loads text that is not
    // a number stops it before anything is written. Writing the loads, as
    // analysing them, first takes their azimuths into 0..360
    // (takeAzimuthsWithin360), so that the boxes show what is stored. The
    // reports and the drawing are written by the commands (block_exports).
    WrittenFiles writeDataFile();
    // The companion file alone; nothing when it need not exist.
    std::optional<std::filesystem::path> writeLoads();
    // The confirmed block its results were worked out from (with the
    // results).
    const SavedBlock& analysedBlock() const { return analysed_; }
    // The current block's corners computed afresh from the confirmed planes
    // and the slope height as entered, for its drawing; when a triple of
    // planes cuts out no corner, those triples and no corners. Throws
    // without a confirmed block or a slope height that is not a number.
    struct Corners {
        std::vector<FailedTriple> FailedTriples;
        std::optional<BlockVertices> Vertices;
    };
    Corners corners() const;

    // Analyses the confirmed block with the loads (runBlock). The previous
    // results are dropped first, so a failure (thrown: a bad text, the
    // loads' ones included) or a triple that cuts out no corner leaves
    // none. A failure of the full analysis alone is kept in the results
    // beside Kc's. Returns the run, the failed triples included.
    BlockRun analyse();

private:
    void changed();
    void showPlaneInDips(int plane);
    void showPlaneInQuadrants(int plane);
    PlaneAttitudeArray quadrantAttitudes() const;
    PlaneAttitudeArray dipAttitudes() const;
    void takeAzimuthsIn();
    void setCurrentBlock(const std::string& name);
    void commitPlanes(const PlaneQuadrantArray& quadrants, const PlaneAttitudeArray& attitudes);

    std::filesystem::path dataFolder_, reportFolder_;
    std::vector<std::function<void()>> listeners_;
    std::string entryName_;
    PlaneEntries planes_;
    TWedgeParams params_;
    LoadsEntries loads_ = trelmox::loadsEntries(WedgeLoads{});
    bool planesEdited_ = false, parametersEdited_ = false, loadsEdited_ = false;
    std::string currentBlock_;
    PlaneQuadrantArray quadrants_{};
    PlaneAttitudeArray attitudes_{};
    std::optional<BlockRun> results_;
    SavedBlock analysed_; // the block and the loads results_ were worked out from
    LoadsEntries analysedLoads_;
    StudyRecords studies_;
};

} // namespace trelmox
