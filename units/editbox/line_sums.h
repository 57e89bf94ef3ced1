#pragma once

#include <QMetaObject>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace units {

// A figure of a text's GBK bytes that adds up over its lines: measure(a + b) equals
// measure(a) + measure(b) whenever a ends with a line break (a character count is one).
using GbkMeasure = int64_t (*)(std::string_view gbk);

// The measures of a multi-line box's whole text (a few at once: the count a label shows and
// the one a target counts in), each kept as a sum over its lines: each line is measured with
// the break after it, and an edit measures again only the lines it touched, so a key typed
// into a novel-sized chapter costs a line, not the chapter. Each block holds its line's
// figures in its user data; a block the document drops takes its figures out of the sums as
// it goes.
class LineSums {
 public:
  static constexpr size_t kMostMeasures = 4;

  // Measures every line of `document` now with each of `measures` (at most kMostMeasures).
  // Requires: the document outlives this object or is destroyed first (its blocks then go,
  // and the sums with them).
  LineSums(QTextDocument* document, std::vector<GbkMeasure> measures);
  ~LineSums();
  LineSums(const LineSums&) = delete;
  LineSums& operator=(const LineSums&) = delete;

  const std::vector<GbkMeasure>& measures() const { return measures_; }
  // The sum of `measure` (one of measures()); nothing while the text holds a lone CR, as the
  // text then reads back with that CR and a following line's LF as one CR LF break, which the
  // lines measured apart do not see.
  std::optional<int64_t> Total(GbkMeasure measure) const;

  struct Totals {
    std::array<int64_t, kMostMeasures> sums{};
    int64_t lone_carriage_returns = 0;
  };

 private:
  void MeasureLines(QTextBlock first, const QTextBlock& last);

  QTextDocument* document_;
  std::vector<GbkMeasure> measures_;
  // Shared with every block's figure: a figure may outlive this object in a block.
  std::shared_ptr<Totals> totals_ = std::make_shared<Totals>();
  QMetaObject::Connection on_change_;
};

}  // namespace units
