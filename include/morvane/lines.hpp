#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "morvane/cxx20.hpp"
#include "morvane/hyphenator.hpp"

namespace morvane {

/// A penalty of this or more never breaks; of its negative or less always does.
inline constexpr double kInfinitePenalty = 10000;

/// One item of a paragraph, as Knuth and Plass describe it ("Breaking
/// paragraphs into lines", 1981): a box (a word or a piece of one) of fixed
/// width; glue (a space) that may stretch or shrink, and where a line may
/// break when a box precedes it; or a penalty, where a line may break at
/// `cost`, adding `width` (a hyphen) to the line it ends. `flagged`
/// penalties are hyphens: two lines ending in one cost `doubleHyphenDemerits`.
///
/// A break that changes the spelling (TeX's discretionary: Hungarian
/// "asszony" breaks as "asz-" / "szony") is a penalty whose `width` is
/// what ends the line, `postWidth` what begins the next, and which, when
/// taken, replaces the `replaces` items after it (the spelling unbroken).
struct ParagraphItem {
  enum class Kind { kBox, kGlue, kPenalty };
  Kind kind = Kind::kBox;
  double width = 0;
  double stretch = 0;
  double shrink = 0;
  double cost = 0;  // of a penalty
  bool flagged = false;
  double postWidth = 0;
  std::size_t replaces = 0;

  static ParagraphItem box(double width) { return {Kind::kBox, width, 0, 0, 0, false, 0, 0}; }
  static ParagraphItem glue(double width, double stretch, double shrink) {
    return {Kind::kGlue, width, stretch, shrink, 0, false, 0, 0};
  }
  static ParagraphItem penalty(double width, double cost, bool flagged = false) {
    return {Kind::kPenalty, width, 0, 0, cost, flagged, 0, 0};
  }
  static ParagraphItem discretionary(double preWidth, double postWidth, std::size_t replaces,
                                     double cost) {
    return {Kind::kPenalty, preWidth, 0, 0, cost, true, postWidth, replaces};
  }
};

/// The parameters of total-fit line breaking, with TeX's defaults.
struct BreakParameters {
  /// The largest adjustment ratio (stretch used ÷ stretch available) a line
  /// may have; lines shrink at most their shrink (ratio −1).
  double tolerance = 2;
  /// Added to every line's badness before squaring, so fewer lines are better.
  double linePenalty = 10;
  /// Two consecutive lines ending in a flagged penalty (a hyphen).
  double doubleHyphenDemerits = 3000;
  /// Two consecutive lines whose tightness differs by more than one class
  /// (tight, decent, loose, very loose).
  double fitnessDemerits = 100;
  /// Lines to add (or, negative, remove) from the best number, where the
  /// paragraph allows.
  int looseness = 0;
};

/// Where a line ends: at item `position` (a glue or penalty, or the end of
/// the paragraph), with its adjustment ratio (0 natural width, 1 all stretch
/// used, −1 all shrink used). `overfull` marks a line that could not be made
/// to fit, kept whole rather than losing anything.
struct LineBreakPoint {
  std::size_t position = 0;
  double ratio = 0;
  bool overfull = false;
};

/// The best breaks of `items` (total fit) for lines of `lineWidths[i]`, the
/// last width serving every later line. The paragraph is ended as TeX ends
/// one: the last line may fill with glue. Time and memory are linear in the
/// paragraph for a given line width.
[[nodiscard]] std::vector<LineBreakPoint> breakParagraph(std::span<const ParagraphItem> items,
                                                         std::span<const double> lineWidths,
                                                         const BreakParameters& parameters = {});

/// The same by first fit: each line takes as many items as fit.
[[nodiscard]] std::vector<LineBreakPoint> breakParagraphGreedy(std::span<const ParagraphItem> items,
                                                               std::span<const double> lineWidths);

/// The width of a UTF-8 string, for `breakLines`.
using MeasureText = std::function<double(std::string_view)>;

/// Terminal columns: East Asian wide and fullwidth characters count 2,
/// combining marks and other zero-width characters 0, others 1 (ICU's data).
[[nodiscard]] double terminalColumns(std::string_view utf8);

/// How `breakLines` lays out text.
struct LineOptions {
  BreakParameters parameters;
  /// First fit instead of total fit.
  bool greedy = false;
  /// Pad lines with spaces to the full width, all but the last.
  bool justify = false;
  /// Cost of breaking at a hyphenation point, and after a hyphen the text has.
  double hyphenPenalty = 50;
  double explicitHyphenPenalty = 50;
  /// How far a space may stretch and shrink, as fractions of its width. On a
  /// terminal a space is at least one column: no shrink.
  double spaceStretch = 1;
  double spaceShrink = 0;
  /// Put at a line's end where a word breaks.
  std::string hyphen = "-";
  /// The first line's width, where it differs (an indented paragraph).
  std::optional<double> firstWidth;
};

/// One line of `breakLines`.
struct TextLine {
  std::string text;
  double ratio = 0;
  bool overfull = false;
  /// Only from a `LineStream`: the line goes on in the next one. A word of
  /// more than 2^20 bytes, which is data rather than prose and stands on
  /// a line of its own, comes in pieces of that size.
  bool continued = false;
};

/// `text` (UTF-8, one paragraph: white space is where it may break) set in
/// lines of `width`, words broken where `h` allows, `measure` giving widths
/// (terminal columns by default). Dropping the hyphens at line ends and
/// joining the lines with spaces gives back the words of `text` (where a
/// break changes the spelling, an office dictionary's, the two lines spell
/// the word as the break does).
[[nodiscard]] std::vector<TextLine> breakLines(const Hyphenator& h, std::string_view text,
                                               double width, const LineOptions& options = {},
                                               const MeasureText& measure = terminalColumns);

/// `breakLines` for a paragraph that arrives in pieces, cut anywhere: lines
/// go to the writer as soon as nothing later can change them, in memory
/// bounded whatever the paragraph's length. A paragraph of up to some
/// thousands of lines is set whole, exactly as `breakLines` sets it; a
/// longer one is set a stretch of that size at a time, each begun where the
/// best breaks of the one before leave off.
class LineStream {
 public:
  using Writer = std::function<void(const TextLine&)>;

  LineStream(const Hyphenator& h, double width, const LineOptions& options, Writer out,
             MeasureText measure = terminalColumns);
  ~LineStream();
  LineStream(const LineStream&) = delete;
  LineStream& operator=(const LineStream&) = delete;

  /// More of the paragraph; may call the writer.
  void write(std::string_view text);
  /// Ends the paragraph and hands over its last lines. The stream may then
  /// take the next paragraph, whose first line is `firstWidth` wide again.
  void finish();

  struct State;  // defined by the implementation

 private:
  std::unique_ptr<State> state_;
};

}  // namespace morvane
