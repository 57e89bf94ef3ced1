#include "units/editbox/line_sums.h"

#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextCharFormat>
#include <QTextDocument>
#include <string>

#include "units/editbox/gbk_positions.h"
#include "units/editbox/lone_breaks.h"

namespace units {

namespace {

using Figures = std::array<int64_t, LineSums::kMostMeasures>;

// One line's part of the sums; it leaves the sums with its block.
class LineFigure : public QTextBlockUserData {
 public:
  explicit LineFigure(std::shared_ptr<LineSums::Totals> totals) : totals_(std::move(totals)) {}
  ~LineFigure() override { Set({}, false); }
  const LineSums::Totals* totals() const { return totals_.get(); }

  void Set(const Figures& values, bool lone_carriage_return) {
    for (size_t i = 0; i < values.size(); ++i) totals_->sums[i] += values[i] - values_[i];
    totals_->lone_carriage_returns += int{lone_carriage_return} - int{lone_carriage_return_};
    values_ = values;
    lone_carriage_return_ = lone_carriage_return;
  }

 private:
  std::shared_ptr<LineSums::Totals> totals_;
  Figures values_{};
  bool lone_carriage_return_ = false;
};

// Up to this many lines are each read from their block.
constexpr int kFewLines = 16;

// The break after `block` as the box's text gives it back (see EditControl), or nothing for
// the last block.
QString BreakAfter(const QTextBlock& block, bool holds_lone_breaks) {
  const QTextBlock next = block.next();
  if (!next.isValid()) return {};
  const int mark = holds_lone_breaks ? next.charFormat().intProperty(kLoneBreak) : 0;
  if (mark == kLoneCarriageReturn) return QStringLiteral("\r");
  if (mark == kLoneLineFeed) return QString(QChar::LineSeparator);
  return QStringLiteral("\n");
}

}  // namespace

LineSums::LineSums(QTextDocument* document, std::vector<GbkMeasure> measures)
    : document_(document), measures_(std::move(measures)) {
  if (measures_.size() > kMostMeasures) measures_.resize(kMostMeasures);
  MeasureLines(document->firstBlock(), document->lastBlock());
  // The document tells the range of every edit (undo and redo too) once it is made, before
  // anyone hears that its text changed.
  on_change_ =
      QObject::connect(document, &QTextDocument::contentsChange, [this](int from, int, int added) {
        // A position past the text (an edit at its very end) is in the last block.
        QTextBlock first = document_->findBlock(from);
        QTextBlock last = document_->findBlock(from + added);
        if (!first.isValid()) first = document_->lastBlock();
        if (!last.isValid()) last = document_->lastBlock();
        MeasureLines(first, last);
      });
}

LineSums::~LineSums() { QObject::disconnect(on_change_); }

std::optional<int64_t> LineSums::Total(GbkMeasure measure) const {
  if (totals_->lone_carriage_returns > 0) return std::nullopt;
  for (size_t i = 0; i < measures_.size(); ++i) {
    if (measures_[i] == measure) return totals_->sums[i];
  }
  return std::nullopt;
}

void LineSums::MeasureLines(QTextBlock block, const QTextBlock& last) {
  const GbkPositions positions{.crlf_lines = true};
  const bool holds_lone_breaks = document_->property(kHoldsLoneBreaks).toBool();
  // Many lines (a chapter loaded, a long paste) are cut from one copy of the document's text
  // instead of a string made per block; one GBK buffer serves every block.
  const bool many_lines = last.blockNumber() - block.blockNumber() > kFewLines;
  const QString raw = many_lines ? document_->toRawText() : QString();
  std::string gbk;
  // Blocks follow each other in the text: each starts where the one before ends.
  qsizetype position = block.position();
  for (; block.isValid(); position += block.length(), block = block.next()) {
    const QString line_break = BreakAfter(block, holds_lone_breaks);
    gbk.clear();
    if (many_lines) {
      positions.AppendEncoded(QStringView(raw).mid(position, block.length() - 1), &gbk);
    } else {
      positions.AppendEncoded(block.text(), &gbk);
    }
    positions.AppendEncoded(line_break, &gbk);
    auto* figure = dynamic_cast<LineFigure*>(block.userData());
    // A figure of earlier sums (other measures) is replaced; its block leaves those sums.
    if (figure == nullptr || figure->totals() != totals_.get()) {
      figure = new LineFigure(totals_);
      block.setUserData(figure);
    }
    Figures values{};
    for (size_t i = 0; i < measures_.size(); ++i) values[i] = measures_[i](gbk);
    figure->Set(values, line_break == u'\r');
    if (block == last) break;
  }
}

}  // namespace units
