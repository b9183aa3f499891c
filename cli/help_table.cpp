// The description of the tool's commands (help_table.h). To describe a new
// command, add its CommandHelp to commandHelp() and parse its arguments with
// parseCommand; --help, the manual page and the completion follow.
#include "cli/help_table.h"

#include "analysis/probabilistic/parameters.h"

namespace trelmox::cli {

namespace {

OptionHelp value(std::string name, std::string shown, std::string text, Completion completes = Completion::Nothing) {
    OptionHelp o;
    o.Name = std::move(name);
    o.Value = std::move(shown);
    o.Text = std::move(text);
    o.Completes = completes;
    return o;
}

OptionHelp required(std::string name, std::string shown, std::string text) {
    OptionHelp o = value(std::move(name), std::move(shown), std::move(text));
    o.Required = true;
    return o;
}

// An option whose value is one of the words shown: "text|json".
OptionHelp choice(std::string name, std::string words, std::string text) {
    OptionHelp o = value(std::move(name), words, std::move(text), Completion::Words);
    for (char& c : words)
        if (c == '|') c = ' ';
    o.Words = std::move(words);
    return o;
}

OptionHelp words(OptionHelp o, std::string completed) {
    o.Completes = Completion::Words;
    o.Words = std::move(completed);
    return o;
}

OptionHelp repeated(OptionHelp o) {
    o.Repeated = true;
    return o;
}

OptionHelp flag(std::string name, std::string text) { return value(std::move(name), "", std::move(text)); }

OptionHelp outputOption() {
    return value("output", "FILE",
                 "write the output to FILE, replaced in one step once complete and never over an input of the run, "
                 "instead of standard output",
                 Completion::File);
}

OptionHelp seedOption(const std::string& more) { return value("seed", "S", "seed, 0..2^64-1 (default 1); " + more); }

OptionHelp threadsOption() {
    return value("threads", "N",
                 "at most N threads, 1..4 per core (default: one per core, or OMP_NUM_THREADS); a run of few "
                 "samples takes one thread (see ENVIRONMENT in the manual page)");
}

OptionHelp requiredOption() {
    return value("required", "F", "the safety factor Fs must reach (>= 1; default the companion file's, else 1.35)");
}

// The random inputs of probabilistic and reliability.
std::vector<OptionHelp> inputOptions() {
    return {
        repeated(value("sd", "NAME=SD", "normal, mean = the block's value, deviation SD", Completion::InputValue)),
        repeated(value("uniform", "NAME=LO:HI", "uniform between LO and HI", Completion::InputValue)),
        repeated(value("lognormal", "NAME=SD", "lognormal, mean = the block's value (> 0), deviation SD",
                       Completion::InputValue)),
        repeated(value("exponential", "NAME", "exponential, mean = the block's value (> 0)", Completion::Input)),
        repeated(value("triangular", "NAME=LO:HI", "triangular between LO and HI, most likely the block's value",
                       Completion::InputValue)),
        repeated(value("beta", "NAME=SD:LO:HI",
                       "beta between LO and HI, mean = the block's value, deviation SD (below "
                       "sqrt((mean - LO)(HI - mean)))",
                       Completion::InputValue)),
        repeated(
            value("gamma", "NAME=SD", "gamma, mean = the block's value (> 0), deviation SD", Completion::InputValue)),
        repeated(value("truncate", "NAME=LO:HI",
                       "NAME's distribution drawn only between LO and HI (either may be left out), the values "
                       "between keeping their relative likelihood",
                       Completion::InputValue)),
        repeated(words(value("correlation", "PLANE=RHO",
                             "correlation -1..1 of c and f of cutting plane 1 or 2, both varied (usually negative)"),
                       "1= 2=")),
        repeated(words(value("fisher", "PLANE=K",
                             "cutting plane 1 or 2 drawn as a joint set: its pole from a Fisher distribution about "
                             "the block's plane with concentration K >= 0 (in place of its dip and dip direction "
                             "varied apart); crack=K the same for the tension crack about its own attitude"),
                       "1= 2= crack=")),
    };
}

const char* const FactorsText =
    "Kc is the factor of the wedge normalised to a horizontal top at the slope height; Fs that of the real wedge "
    "under the real top by the vector method, with the block's loads and support from its companion file (the data "
    "file's name with .json, beside it). A block without one carries its own water pressures u1, u2 and no other "
    "load.";

const char* const InputNamesText =
    "1 and 2 are the first and the second cutting plane.\n"
    "\n"
    "  dip1 dipdir1 dip2 dipdir2    dip angle and dip direction of the cutting planes\n"
    "  diptop dipdirtop             the slope top surface\n"
    "  dipface dipdirface           the slope face\n"
    "  c1 f1 c2 f2                  cohesion and friction coefficient of the cutting\n"
    "                               planes\n"
    "  rock water height            rock and water unit weight, slope height\n"
    "  u1 u2                        water pressures (blocks with entered pressures\n"
    "                               only; computed pressures follow water and height)\n"
    "  k                            seismic coefficient\n"
    "  crackdist crackwater         the tension crack's distance behind the crest and\n"
    "                               its water depth (blocks with a crack only)\n"
    "  crackdip crackdipdir         the tension crack's dip and dip direction\n"
    "  force bolt                   the total of the external forces / of the bolts,\n"
    "                               shared out in their given proportions\n"
    "  face_trace1 face_trace2      the size limits of the companion file (blocks\n"
    "  top_trace1 top_trace2        that give them only): trace lengths on the face\n"
    "  persistence1 persistence2    and on the upper slope, persistence, the slope's\n"
    "  slope_length                 length, the bench; each sample's wedge is scaled\n"
    "  bench_height bench_width     to the limits it draws\n"
    "\n"
    "Dips lie within 0..90; c, f, water, u, k, crackdist, crackwater, force and bolt >= 0; rock, height and the "
    "size limits > 0. Every distribution is truncated to that range; dip directions are not bounded. The loads and "
    "the size limits enter the full factor Fs only, not Kc.";

CommandHelp analyze() {
    return {"analyze",
            "FILE...",
            "Analyses block data files: corners, volume, height, plunge of the line of intersection and the safety "
            "factor Kc with its contact case; beside it the full factor Fs of the real wedge with the block's loads, "
            "the stability state, weight, face areas and the bolt force the required factor needs; reports, "
            "drawings and pictures on request.",
            "Analyses each block data file (18 lines of GBK text: four plane attitudes, four quadrant attitudes, the "
            "parameters; marker 'z' entered or 'j' computed water pressures); one bad block does not stop the "
            "others. The block name is the file name up to its first '.'.\n"
            "\n"
            "Beside Kc, the full factor Fs of the real wedge under the real top, by the vector method, with the "
            "block's loads and support from its companion file (the data file's name with .json, beside it); a "
            "block without one carries its own water pressures u1, u2 and no other load. Fs comes with its contact "
            "case, the stability state against the required factor, the weight, the face areas and the bolt force "
            "the required factor needs (along the companion file's design bolt, else along the direction needing "
            "least).",
            {choice("format", "text|json|csv|xlsx",
                    "output: a readable table (default), one JSON object per block per line, CSV, or an Excel "
                    "workbook (row 1 the JSON's keys, nested ones joined by a dot as the CSV names them, row 2 their "
                    "units, a row per block; never to a terminal)"),
             outputOption(),
             value("report-dir", "DIR",
                   "write each block's analysis report (<name>.txt) to DIR, and for a block with a companion file "
                   "its full analysis report (<name>三维分析.txt)",
                   Completion::Folder),
             value("dxf-dir", "DIR", "write each block's DXF drawing to DIR", Completion::Folder),
             value("plot-dir", "DIR",
                   "write each block's stereonet (<name>stereonet.svg) and 3D view (<name>wedge.svg) to DIR",
                   Completion::Folder)},
            {},
            "JSON and CSV keys beside the block, its contact case, Kc, volume, height and plunge: fs_contact, fs, "
            "state, weight, areas (in JSON an object of the face areas plane1, plane2, face, top, crack; in CSV one "
            "column each, areas.plane1 and so on) and required_bolt_force with required_bolt_trend and "
            "required_bolt_plunge (0 when Fs reaches the required factor already). They are null (JSON) or empty "
            "(CSV) where the real wedge does not exist; its refusal is then among the block's messages, and is no "
            "failure of the block.\n"
            "\n"
            "A figure that does not exist is null in JSON and empty in CSV (Kc, volume, height and plunge when the "
            "planes cut out no block; Fs without a wedge); a factor above 100 is shown as \"> 100\" with kc_note or "
            "fs_note saying why (\"above 100\", or \"no driving force\" when the force driving the wedge is below "
            "1e-9 of its weight); an Fs that could not be computed is fs_error with its fs_error_kind (overflow, "
            "refused_input, ...).",
            "0 every block analysed, 1 some block or its factor Fs failed, 2 usage error."};
}

CommandHelp probabilistic() {
    std::vector<OptionHelp> options = {
        value("samples", "N", "number of samples, 1..10000000 (default 10000)"),
        seedOption("a seed gives the same result with any number of threads"),
        choice("method", "mc|lhs", "Monte Carlo (default) or Latin hypercube sampling"),
    };
    for (OptionHelp& o : inputOptions()) options.push_back(std::move(o));
    for (OptionHelp o :
         {requiredOption(), threadsOption(), value("bins", "N", "histogram bins, 1..10000 (default 20)"),
          choice("format", "text|json|xlsx",
                 "output (default text); xlsx: an Excel workbook of one row, the JSON's keys as columns (Fs's as "
                 "fs.mean and so on) with their units; never to a terminal"),
          outputOption(), flag("quiet", "no progress line (shown on a terminal for runs longer than a second)")})
        options.push_back(std::move(o));
    return {"probabilistic",
            "FILE",
            "Monte Carlo or Latin hypercube analysis of Kc and Fs: statistics, P(Kc < 1), P(Fs < 1) and "
            "P(Fs < required).",
            "Monte Carlo (mc, default) or Latin hypercube (lhs) analysis of the block in FILE: every sample draws "
            "the varied inputs and computes Kc and Fs as 'analyze' does. For each factor, statistics and P(< 1), "
            "the probability of sliding, are taken over the samples that cut out a wedge (lift-off counts as "
            "failure), and for Fs P(Fs < required) too; P(failure) counts the same failed wedges over all samples; "
            "the other contact cases and failed computations are counted, and a histogram given. In JSON Fs's "
            "findings are the object fs.\n"
            "\n" +
                std::string(FactorsText),
            std::move(options),
            {"inputs"},
            "Ctrl-C stops the run; nothing is written then.",
            "0 done, 1 the block could not be read, 2 usage error, 130 stopped."};
}

CommandHelp sensitivity() {
    return {"sensitivity",
            "FILE",
            "Kc and Fs with their contact cases as one input runs over a range.",
            "Kc and Fs, each with its contact case, and the stability state of Fs against the required factor, of "
            "the block in FILE as NAME runs from A to B in N equal steps (N = 1..1000000; N + 1 values, both ends "
            "included), the other inputs held at the block's values.\n"
            "\n" +
                std::string(FactorsText),
            {required("param", "NAME", "the input that runs (its names below)"),
             required("from", "A", "its first value"), required("to", "B", "its last value"),
             required("steps", "N", "the number of equal steps"), requiredOption(),
             choice("format", "text|csv|json",
                    "output (default text); CSV columns NAME, contact, kc, error, fs_contact, fs, state, fs_error")},
            {"inputs"},
            "",
            "0 done, 1 the block could not be read, 2 usage error."};
}

CommandHelp reliability() {
    std::vector<OptionHelp> options = {
        choice("factor", "fs|kc",
               "the factor of the limit state g = factor - 1: Fs of the real wedge with its loads (default) or the "
               "data file's Kc"),
    };
    for (OptionHelp& o : inputOptions()) options.push_back(std::move(o));
    for (OptionHelp o :
         {words(value("target-beta", "B|CLASS-TYPE",
                      "the target index: a number, or CLASS-TYPE with the safety class 1, 2 or 3 and the failure "
                      "type ductile or brittle, as GB 50153-2008 Table A.1.4 sets it (1-ductile 3.7, 2-ductile 3.2, "
                      "3-ductile 2.7, 1-brittle 4.2, 2-brittle 3.7, 3-brittle 3.2); checked against the system's "
                      "index"),
                "1-ductile 2-ductile 3-ductile 1-brittle 2-brittle 3-brittle"),
          value("design-bolt", "TREND/PLUNGE|least",
                "one more active bolt along this direction (degrees): the least force with which the block reaches "
                "the target (needs --target-beta; Fs only); 'least': the direction needing the least force, and "
                "that force. The target holds for every force up to 10% above it, the support design's margin"),
          value("is-cov", "C", "importance sampling stops at this coefficient of variation (default 0.1)"),
          value("max-samples", "N", "or after N samples, 1..10000000 (default 1000000)"),
          seedOption("a seed gives the same result with any number of threads"), threadsOption(),
          choice("format", "text|json|xlsx",
                 "output (default text); json: one object with beta, pf_form, pf_sorm, pf_is, pf_is_cov, "
                 "design_point, alpha, fs_at_design_point, evaluations, modes, pf_system, target_beta, "
                 "meets_target, required_bolt_force, required_bolt_trend, required_bolt_plunge, "
                 "required_bolt_lower_bound, required_bolt_confirmed and error; xlsx: that object as a workbook's row"),
          outputOption(), flag("quiet", "no progress line")})
        options.push_back(std::move(o));
    return {"reliability",
            "FILE",
            "The reliability index beta, the design point and P(failure) by FORM, SORM and importance sampling, "
            "the failure modes and the system's P(failure).",
            "Reliability analysis of the block in FILE, its random inputs as 'probabilistic' takes them. In "
            "standard normal space (each input's own distribution, c and f through their copula) FORM finds the "
            "design point, the most likely inputs at failure, and the reliability index beta, its distance from "
            "the medians; alpha gives each input's weight (alpha^2 its share). P(failure) by FORM, by SORM "
            "(Tvedt's formula from the curvatures at the design point) and by importance sampling about the design "
            "point; the failure modes the contact cases give, found from several starts, and the system's "
            "P(failure) by importance sampling over all of them, beside Ditlevsen's bounds. Failure is a wedge "
            "whose factor is below 1, as 'probabilistic' counts it.",
            std::move(options),
            {"inputs"},
            "Ctrl-C stops the run; nothing is written then.",
            "0 done, 1 the block could not be read or has no design point, 2 usage error, 130 stopped."};
}

CommandHelp combinations() {
    return {"combinations",
            "SLOPE_BLOCK MEASUREMENTS",
            "Every pair of measured planes or joint sets as the cutting planes of the block's slope: kinematic "
            "check, Kc and Fs, the critical wedge first; or with --probabilistic each pair's probability of "
            "failure.",
            "Sets every pair of planes from the measurement file (one plane a line, dip and dip direction or "
            "quadrant notation, optionally a set label, a weight, and under a header the plane's own c and f) into "
            "the slope of the block data file SLOPE_BLOCK - its slope top and face, height, unit weights, water, "
            "overhang coefficient, and the loads of its companion file <name>.json beside it, if any - as the first "
            "and the second cutting plane, and lists the pairs sorted by the full factor Fs of the real wedge, the "
            "critical wedge first; pairs that cut out no wedge follow with the reason.",
            {words(value("sets", "planes|labels|auto:N",
                         "planes: every measured plane on its own (default), named by its line in the file; labels: "
                         "the file's set labels, each set as its Fisher mean plane (planes without a label take no "
                         "part); auto:N: N sets grouped by k-means on the sphere (J1, J2, ... by decreasing size; "
                         "the same grouping on every run)"),
                   "planes labels auto:"),
             choice("format", "text|json|csv|xlsx",
                    "a readable table with the sets' Fisher statistics (default), one JSON object per pair per "
                    "line, CSV, or an Excel workbook (row 1 the JSON's keys, row 2 their units, a row per pair; "
                    "never to a terminal)"),
             outputOption(),
             flag("probabilistic",
                  "for every pair a probabilistic run of its block: each set's planes drawn from its Fisher "
                  "distribution (K from the measurements; measured planes stay as measured), the loads and size "
                  "limits of the companion file on every sample; the pairs sorted by P(failure), the likeliest "
                  "first"),
             value("samples", "N", "with --probabilistic: samples per pair, 1..10000000 (default 10000)"),
             seedOption("with --probabilistic; the same for every pair")},
            {},
            "The first plane of a pair takes the block's c1 and f1, the second c2 and f2, unless the measurement "
            "file gives the plane's or its set's own c and f (columns c and f under a header). A wedge is "
            "kinematically possible when its line of intersection daylights in the face and plunges more steeply "
            "than arctan of the smaller f. JSON and CSV keys: plane1, plane2 (set labels, or line numbers), dip1, "
            "dipdir1, dip2, dipdir2 (the planes used), kinematic, contact and kc (Kc), fs_contact and fs (the full "
            "factor), error (why a wedge or factor is missing; in JSON and workbooks with error_kind, the kind of "
            "its failure, other for a wedge that does not exist); kc and fs are null where no factor is worked "
            "out. "
            "With --probabilistic also pf (failed real wedges, Fs < 1, over all samples), p_sliding (Fs < 1 among "
            "the samples that cut out a wedge), fs_mean (their mean Fs), failed_volume_mean (the mean volume of the "
            "failed wedges) and too_small (wedges below the minimum size, left out); null where no sample gives "
            "one.",
            "0 done, 1 a file could not be read, 2 usage error."};
}

CommandHelp planar() {
    return {"planar",
            "",
            "The factor of a block sliding on one plane, per metre of slope.",
            "The safety factor of a block sliding on one plane that daylights in the slope face, per metre of "
            "slope, by two-dimensional limit equilibrium.",
            {required("height", "H", "slope height, > 0"),
             required("face-dip", "DEG", "dip of the slope face, up to 90"),
             required("plane-dip", "DEG", "dip of the sliding plane, > 0 and flatter than the face"),
             value("top-dip", "DEG", "dip of the upper slope, away from the crest (default 0)"),
             value("crack-distance", "D",
                   "a vertical tension crack D behind the crest, measured horizontally (>= 0); without it the crack "
                   "stands where a dry block has its least factor"),
             required("unit-weight", "G", "unit weight of the rock"),
             value("water-unit-weight", "GW", "unit weight of water (default 10)"),
             value("water-fill", "FRACTION",
                   "share of the crack's depth filled with water, 0 dry (default) to 1 full; the pressure on the "
                   "plane falls linearly from the crack's foot to the toe"),
             required("cohesion", "C", "cohesion of the plane"),
             required("friction", "F", "friction coefficient of the plane (tan phi)"),
             value("k", "K", "seismic coefficient: a horizontal force K W out of the slope"),
             value("bolt-force", "T",
                   "bolt force per metre of slope, plunging --bolt-plunge degrees below the horizontal into the "
                   "slope; both press the block onto the plane"),
             value("bolt-plunge", "DEG", "the bolt's plunge (needed with --bolt-force)"),
             choice("bolt-mode", "active|passive",
                    "active (the default) lessens the driving force, passive adds its pull along the plane to the "
                    "resistance"),
             choice("format", "text|json",
                    "a readable list (default) or one JSON object with the keys fs, crack_depth, weight, "
                    "plane_length, water_force_plane, water_force_crack, error, fs_note and error_kind (fs and the "
                    "figures null when the analysis fails)")},
            {},
            "Lengths, weights and forces in one consistent system of units; a block that lifts off the plane has "
            "the factor 0. A factor above 100 is shown as \"> 100\" (fs null, fs_note \"above 100\", or \"no "
            "driving force\" when the force down the plane is below 1e-9 of the weight). A crack that cuts off no "
            "block (at the foot of a vertical face) is refused, and an overflow names the input it comes from.",
            "0 done, 1 the block cannot be analysed, 2 usage error."};
}

CommandHelp kinematics() {
    return {
        "kinematics",
        "SECTORS MEASUREMENTS",
        "Planar, wedge, flexural and direct toppling checks of the measured planes against every sector of a "
        "slope: the share critical and the critical set.",
        "Checks every plane of the measurement file, and every pair of its planes, against the slope face of "
        "each sector for planar sliding, wedge sliding, flexural toppling and direct toppling, and gives per "
        "sector and mode the share critical and, for planar and wedge sliding, the critical plane or pair with "
        "its factor.\n"
        "\n"
        "SECTORS is a CSV file with a header row: name,dip,dipdir and optionally height, top_dip, top_dipdir "
        "(the upper slope; horizontal when absent). A face dipping more than 90 degrees overhangs.",
        {value("friction", "PHI", "friction angle in degrees (default 30)"),
         value("lateral", "DEG",
               "lateral limits either side of the face's dip direction for planar sliding and both kinds of "
               "toppling (default 20)"),
         choice("format", "text|json|csv",
                "a readable table (default), one JSON object per sector and mode per line, or CSV"),
         flag("quiet", "no progress line (shown on a terminal for runs longer than a second)")},
        {},
        "A plane or line within 1e-9 degrees of a limit lies on it, and one on a limit is critical. At most "
        "125,000,000 pairs of planes (about 15,800 planes) are counted for every 64 sectors; more are refused.\n"
        "\n"
        "JSON keys: sector, mode (planar, wedge, flexural_toppling, direct_toppling), critical, total (poles for "
        "planar and flexural toppling, intersections of all pairs of planes for wedge and direct toppling), "
        "percent (weighted: a plane of weight w counts as w planes), critical_set (a set label, a pair of "
        "labels, or row numbers of the file; null where none), fs and fs_note (why a wedge's fs is null where "
        "a pair is critical). The candidates are the file's labelled "
        "sets as their mean planes, else every plane. fs is the dry factor with friction alone (c = 0; the "
        "plane's own f from the file, else tan PHI): f / tan(dip) for a plane, the full factor of the real wedge "
        "with the sector as slope for a pair; null for toppling and where nothing is critical. secondary_critical and "
        "secondary_percent (wedge rows) count the lines in the secondary zone, oblique_critical and "
        "oblique_percent (direct toppling rows) the oblique toppling lines; null in the other rows.",
        "0 done, 1 a file could not be read, 2 usage error."};
}

CommandHelp cloud() {
    return {"cloud",
            "POINTS",
            "The planar facets and joint sets of a point cloud of the rock face (PLY, LAS, XYZ), the slope face told "
            "apart, and a measurement file of them.",
            "Finds the planar facets of a point cloud of a rock face (PLY ASCII or binary, LAS 1.0-1.4 "
            "uncompressed, or XYZ text), groups them into joint sets with their Fisher statistics, and tells the "
            "slope face apart.",
            {value("voxel", "M",
                   "thin the cloud to one point (the centroid) per cube of edge M first (default 0: "
                   "no thinning)"),
             value("neighbours", "K",
                   "neighbours of a point's normal and of the facets' growing, 3..200 (default "
                   "20)"),
             value("min-facet-area", "A", "drop facets of a smaller area (default 0)"),
             value("sets", "N|auto:N",
                   "N joint sets (the face apart), or auto:N: their number chosen up to N by the Bayesian "
                   "information criterion (default auto:6)"),
             choice("weight", "area|count", "a facet counts by its area (default) or as one plane"),
             value("frame", "XYZ",
                   "the directions of the file's x, y and z axes, three of E W N S U D (default ENU: x east, y "
                   "north, z up)"),
             choice("format", "text|json|csv|xlsx",
                    "a summary (default); one JSON object per facet per line, then one per set; CSV of the two "
                    "tables; or a workbook"),
             outputOption(),
             value("measurements-out", "FILE",
                   "a measurement file (dip, dipdir, set, weight) of the joint facets, for combinations, kinematics "
                   "and the joints window",
                   Completion::File),
             value("facets-out", "FILE", "the thinned points as a PLY coloured by set", Completion::File)},
            {},
            "JSON keys: one object per facet (facet, dip, dipdir, area, extent, x, y, z, rms, points, set), then one "
            "per set (set, dip, dipdir, k, cone95, count, area, extent_mean; the face last as set \"坡面\").",
            "0 done, 1 the cloud could not be read or has no facet, 2 usage error, 130 interrupted."};
}

CommandHelp report() {
    return {"report",
            "FILE...",
            "The calculation report of each block as a PDF file.",
            "Writes the calculation report of each block data file as a PDF, <name>计算书.pdf in DIR (A4, the font "
            "embedded; the folder made when missing): the inputs, the methods, Kc, the full analysis of the real "
            "wedge with its loads (from <name>.json beside the data file, when there is one) and the support it "
            "needs, the stereonet, the 3D view and the conclusion against the required factor. Needs no display; "
            "the PDF files are written by trelmox-report, installed beside trelmox-cli.",
            {required("pdf-dir", "DIR", "where the PDF files go"),
             value("measurements", "FILE",
                   "the joint measurements the blocks were taken from: each report adds their kinematic checks "
                   "against the block's slope face (friction angle 30, lateral limits 20 degrees), a table per mode "
                   "and set and a net per mode",
                   Completion::File)},
            {},
            "",
            "0 every report written with results, 1 some block failed or could not be analysed (its report then "
            "says why), 2 usage error."};
}

ToolHelp tool() {
    ToolHelp t;
    t.Summary = "stability analysis of rock wedges without a window";
    t.Text =
        "trelmox-cli runs the limit-equilibrium analysis of the windowed program trelmox on block data files: the "
        "safety factor Kc of a rock wedge that two structural planes cut out of a slope, with its contact case, "
        "volume, height and the plunge of the planes' line of intersection. A block data file holds 18 lines of GBK "
        "text with CR LF line ends: the four plane attitudes (first and second cutting plane, slope top, slope "
        "face) as dip angle and dip direction, the same in quadrant notation, and the rock and joint parameters. The "
        "block name is the file name up to its first dot.\n"
        "\n"
        "Beside Kc, every command computes the full factor Fs of the real wedge: the polyhedron under the real, "
        "inclined slope top, its forces through the centroid and the factor by the vector method, with the block's "
        "loads and support - water, a tension crack, seismic load, external forces, surface pressures, bolts and the "
        "required safety factor - from its companion file: the data file's name with .json for its extension, "
        "beside it, as the windowed program saves it. A block without a companion file carries its own water "
        "pressures u1 and u2 as uniform pressures on the two cutting planes and no other load. Kc is normalised to "
        "a wedge whose top is horizontal at the slope height; the two agree when the top is horizontal and there "
        "are no further loads.";
    t.Options = {words(value("lang", "en|zh",
                             "the language of messages and readable output: English or the Chinese of the program's "
                             "windows; without it, the locale's (LC_ALL, LC_MESSAGES, LANG: Chinese for zh_*); the "
                             "files written and the JSON's keys stay as they are. Given anywhere before --."),
                       "en zh"),
                 flag("help", "the tool's usage, or with a command that command's"), flag("version", "the version")};
    t.Topics = {{"inputs", "Parameter names", InputNamesText}};
    t.Output =
        "A figure that does not exist is null in JSON and an empty cell in CSV and workbooks, never 0: Kc and the "
        "volume, height and plunge of its wedge when the planes cut out no block, Fs when there is no real wedge. A "
        "factor above 100 is shown as \"> 100\", null in JSON with kc_note or fs_note saying why (\"above 100\", or "
        "\"no driving force\" when the force driving the wedge is below 1e-9 of its weight). An Fs that could not "
        "be computed is null with fs_error and fs_error_kind (overflow, division_by_zero, invalid_operation, "
        "refused_input, ...); an overflow names the input it comes from.";
    t.Environment =
        "LC_ALL, LC_MESSAGES, LANG: without --lang, the first of these that is set and not empty chooses the "
        "language of the messages and readable output: Chinese for a zh_* locale, English for any other. The files "
        "written and the JSON keys are the same in both.\n"
        "\n"
        "OMP_NUM_THREADS: the threads a run takes at most when --threads is not given (default one per core).\n"
        "\n"
        "OMP_WAIT_POLICY: how idle threads wait. The tool makes them sleep (passive) unless this or GOMP_SPINCOUNT "
        "is set: threads that spin between parallel regions take the cores a busy machine needs. Runs too short to share out (fewer than some 2^18 samples a thread) take one "
        "thread whatever is given, and a run is one parallel region, so that its threads meet once.";
    t.ExitStatus = "0: done\n"
                   "\n"
                   "1: a block or measurement file could not be read or analysed, or a block's factor Fs could not "
                   "be computed (the report command still writes the report of a block it could read, saying why "
                   "it has no results)\n"
                   "\n"
                   "2: usage error\n"
                   "\n"
                   "130: a probabilistic or reliability run stopped by Ctrl-C";
    t.Files = "/usr/share/trelmox/example.txt: the example block\n"
              "\n"
              "/usr/share/doc/trelmox/examples/: the example block, a slope's sectors, joint measurements, and "
              "many_slopes.py, a study of many slopes on a Dask cluster with the Python module\n"
              "\n"
              "NAME.json: beside a data file: the block's loads and support (UTF-8 JSON)";
    t.Examples = "trelmox-cli analyze /usr/share/trelmox/example.txt\n"
                 "trelmox-cli probabilistic /usr/share/trelmox/example.txt --samples 1000000 --sd dip1=2 --sd c1=5 "
                 "--method lhs\n"
                 "trelmox-cli reliability /usr/share/trelmox/example.txt --sd c1=5 --sd f1=0.05 --target-beta "
                 "2-ductile\n"
                 "trelmox-cli combinations /usr/share/trelmox/example.txt joints.csv --sets labels --probabilistic\n"
                 "trelmox-cli planar --height 30 --face-dip 60 --plane-dip 30 --crack-distance 9 --unit-weight 25.5 "
                 "--cohesion 48 --friction 0.577 --water-fill 1\n"
                 "trelmox-cli kinematics sectors.csv joints.csv --friction 32 --format json\n"
                 "trelmox-cli --lang zh report --pdf-dir reports /usr/share/trelmox/example.txt";
    return t;
}

} // namespace

const std::vector<CommandHelp>& commandHelp() {
    static const std::vector<CommandHelp> commands = {analyze(),     probabilistic(), sensitivity(),
                                                      reliability(), combinations(),  planar(),
                                                      kinematics(),  cloud(),         report()};
    return commands;
}

const ToolHelp& toolHelp() {
    static const ToolHelp help = tool();
    return help;
}

const CommandHelp* findCommandHelp(std::string_view name) {
    for (const CommandHelp& c : commandHelp())
        if (c.Name == name) return &c;
    return nullptr;
}

std::vector<std::string> inputNames() {
    std::vector<std::string> names;
    for (int i = 0; i < ParameterCount; ++i) names.emplace_back(parameterName(static_cast<Parameter>(i)));
    return names;
}

} // namespace trelmox::cli
