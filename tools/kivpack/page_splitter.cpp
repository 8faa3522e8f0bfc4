#include "kivpack/page_splitter.h"

#include <algorithm>
#include <map>

#include "app/string_helpers.h"
#include "kivpack/page_tags.h"

namespace kiv {

namespace {

// Preference of a cut: the higher the better. A cut inside one table cell or
// list item that is over the limit by itself (an index laid out in columns,
// one entry with a thousand sub-entries) is taken only where no other cut
// fits, and only at a block boundary inside it: the part that follows opens
// the table, its row and the cell again (the column goes on there), or the
// list (the sub-list goes on, without a new item).
enum CutRank { InsideCut = 0, PreLineCut = 1, ItemCut = 2, BlockCut = 3, HeadingCut = 4 };

// What an open block is to the splitter.
enum class OpenKind {
  Quote,  // BLOCKQUOTE, CENTER, ADDRESS, FORM: cut inside, reopened in the next part
  List,   // cut between its items
  Table,  // cut between its rows
  Pre,    // cut between its lines
};

struct OpenBlock {
  OpenKind kind;
  std::size_t tagStart, tagEnd;  // its start tag
  std::string name;              // upper-case tag name
  int items = 0;                 // list items, table rows begun
  std::size_t unitStart = 0;     // the item, row or cell being read
  bool inCell = false;
  // A table's row and cell being read: their start tags (empty when the
  // page wrote none) and the cell's upper-case name.
  std::string_view rowTag{}, cellTag{};
  std::string cellName{};
  int firstNumber = 1;  // of an OL
};

struct Cut {
  std::size_t pos;
  int rank;
  std::string reopen;  // start tags the next part begins with
  std::string close;   // end tags this part ends with
};

// What keeps a stretch of the page from being cut, for the refusal.
struct Obstacle {
  std::size_t from;
  std::string what;      // empty: nothing but the lack of a block boundary
  std::size_t unit = 0;  // where what begins
};

bool IsBlockStart(Symbol s) {
  switch (s) {
    case HSy:
    case PSy:
    case OLSy:
    case ULSy:
    case DirSy:
    case MenuSy:
    case DLSy:
    case TableSy:
    case PreSy:
    case BlockQuoteSy:
    case CenterSy:
    case AddressSy:
    case HRSy:
    case FormSy:
      return true;
    default:
      return false;
  }
}

bool IsListStart(Symbol s) {
  return s == OLSy || s == ULSy || s == DirSy || s == MenuSy || s == DLSy;
}

bool IsQuoteStart(Symbol s) {
  return s == BlockQuoteSy || s == CenterSy || s == AddressSy || s == FormSy;
}

// Content the viewer reads whole: no cut inside.
bool IsOpaqueStart(Symbol s) {
  return s == TextAreaSy || s == SelectSy || s == MapSy || s == TitleSy;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

int IntValue(std::string_view text, int fallback) {
  int v = 0;
  bool any = false;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    v = v * 10 + (c - '0');
    any = true;
    if (v > 1000000) break;
  }
  return any ? v : fallback;
}

class Splitter {
 public:
  Splitter(std::string_view page, const std::string& name, std::size_t limit)
      : page_(page), name_(name), limit_(limit) {}

  PageSplit Run();

 private:
  void FindHead();
  void Scan();
  void ScanText(std::size_t from, std::size_t to);
  void OnTag(const PageTag& tag);
  void AddCut(std::size_t pos, int rank, std::size_t itemsOf = std::string::npos);
  bool AllQuoteBelow(std::size_t depth) const;
  int RankBelow(std::size_t depth, int rank) const;
  std::size_t BestCut(std::size_t s, std::size_t room, std::size_t next, bool inside) const;
  void Pop(OpenKind kind, const std::string& name);
  void NoteObstacle(std::size_t at);
  std::string Describe(std::size_t at) const;
  std::string Link(const std::string& target, const std::string& text) const;
  std::string PartText(std::size_t k, std::size_t n, const std::vector<std::size_t>& cuts) const;

  std::string_view page_;
  const std::string& name_;
  std::size_t limit_;
  // A ".txt" page: its lines are places to cut.
  bool textPage_ = name_.size() >= 4 && (name_.compare(name_.size() - 4, 4, ".txt") == 0 ||
                                         name_.compare(name_.size() - 4, 4, ".TXT") == 0);

  std::size_t bodyStart_ = 0, bodyEnd_ = 0;
  std::size_t titleEnd_ = std::string::npos;  // the "</TITLE>" in the head

  std::vector<OpenBlock> open_;
  int opaque_ = 0;
  std::size_t leadIn_ = std::string::npos;  // ignored tags and anchors before the next block
  std::vector<Cut> cuts_;
  std::vector<Obstacle> obstacles_;
  std::vector<std::pair<std::string, std::size_t>> anchorsAt_;  // name, position
  std::vector<int> anchorLines_;
  // Image maps and the pictures that use them: a picture finds its map only
  // in its own document, so a part whose picture's map lies in another part
  // gets a copy of it.
  struct ImageMap {
    std::string name;  // upper case, as pictures name it
    std::size_t start, end;
  };
  std::vector<ImageMap> maps_;                              // the first map of each name
  std::vector<std::pair<std::string, std::size_t>> uses_;  // map name, picture position
  void NoteImageMap(const PageTag& tag);
  std::size_t MapsNeeded(std::size_t from, std::size_t to, std::string* copies) const;
  PageSplit result_;
};

void Splitter::FindHead() {
  PageTagScanner scanner(page_);
  PageTag tag;
  std::size_t body = std::string::npos, headEnd = std::string::npos;
  std::size_t bodyEnd = std::string::npos, htmlEnd = std::string::npos;
  while (scanner.Next(tag)) {
    if (tag.sym == BodySy && body == std::string::npos) body = tag.end;
    if (tag.sym == HeadEndSy && headEnd == std::string::npos) headEnd = tag.end;
    if (tag.sym == TitleEndSy && titleEnd_ == std::string::npos) titleEnd_ = tag.start;
    if (tag.sym == BodyEndSy) bodyEnd = tag.start;
    if (tag.sym == HtmlEndSy) htmlEnd = tag.start;
  }
  if (body != std::string::npos) {
    bodyStart_ = body;
  } else if (headEnd != std::string::npos) {
    bodyStart_ = headEnd;
  } else if (titleEnd_ != std::string::npos) {
    bodyStart_ = page_.find('>', titleEnd_) + 1;
  }
  bodyEnd_ = bodyEnd != std::string::npos ? bodyEnd
                                          : (htmlEnd != std::string::npos ? htmlEnd : page_.size());
  if (bodyEnd_ < bodyStart_) bodyEnd_ = page_.size();
  if (titleEnd_ != std::string::npos && titleEnd_ >= bodyStart_) titleEnd_ = std::string::npos;
}

bool Splitter::AllQuoteBelow(std::size_t depth) const {
  for (std::size_t i = 0; i < depth && i < open_.size(); ++i)
    if (open_[i].kind != OpenKind::Quote) return false;
  return true;
}

// The rank a cut of the given rank gets inside the first depth open blocks:
// itself when they are all quotes, InsideCut when table cells or list items
// are among them, -1 (no cut) inside preformatted text, a caption or a table
// between its rows.
int Splitter::RankBelow(std::size_t depth, int rank) const {
  int result = rank;
  for (std::size_t i = 0; i < depth && i < open_.size(); ++i) {
    const OpenBlock& b = open_[i];
    if ((b.kind == OpenKind::Table && b.inCell && b.cellName != "CAPTION") ||
        (b.kind == OpenKind::List && b.items > 0)) {
      result = InsideCut;
    } else if (b.kind != OpenKind::Quote) {
      return -1;
    }
  }
  return result;
}

// itemsOf: the open block cut between its items or rows; every other table
// is cut inside its cell (reopened with its row and cell). Lists are
// reopened with their own start tag alone.
void Splitter::AddCut(std::size_t pos, int rank, std::size_t itemsOf) {
  if (pos <= bodyStart_ || pos >= bodyEnd_ || rank < 0) return;
  Cut cut{pos, rank, {}, {}};
  for (std::size_t i = 0; i < open_.size(); ++i) {
    const OpenBlock& b = open_[i];
    std::string_view tag = page_.substr(b.tagStart, b.tagEnd - b.tagStart);
    if (b.name == "OL" && b.items > 0) {
      // The numbers go on where the previous part stopped.
      cut.reopen +=
          "<OL START=" + std::to_string(b.firstNumber + b.items) + std::string(tag.substr(3));
    } else {
      cut.reopen += tag;
    }
    if (b.kind == OpenKind::Table && b.inCell && i != itemsOf) {
      cut.reopen += b.rowTag;
      cut.reopen += b.cellTag;
    }
  }
  for (std::size_t i = open_.size(); i-- > 0;) {
    const OpenBlock& b = open_[i];
    if (b.kind == OpenKind::Table && b.inCell && i != itemsOf) {
      cut.close += "</" + b.cellName + ">";
      if (!b.rowTag.empty()) cut.close += "</TR>";
    }
    cut.close += "</" + b.name + ">";
  }
  if (!cuts_.empty() && cuts_.back().pos == pos) {
    if (cuts_.back().rank < rank) cuts_.back() = std::move(cut);
    return;
  }
  cuts_.push_back(std::move(cut));
}

void Splitter::Pop(OpenKind kind, const std::string& name) {
  for (std::size_t i = open_.size(); i-- > 0;) {
    if (open_[i].kind == kind && (kind != OpenKind::Quote || open_[i].name == name)) {
      open_.resize(i);
      return;
    }
  }
}

// Records what the page is inside of from at on.
void Splitter::NoteObstacle(std::size_t at) {
  std::string what;
  std::size_t unit = at;
  if (opaque_ > 0) {
    what = "one form field or image map";
  } else if (!open_.empty()) {
    const OpenBlock& b = open_.back();
    unit = b.unitStart;
    if (b.kind == OpenKind::Table && b.inCell) {
      what = "one table cell";
    } else if (b.kind == OpenKind::Table && b.items > 0) {
      what = "one table row";
    } else if (b.kind == OpenKind::Table) {
      what = "a table without rows";
    } else if (b.kind == OpenKind::List && b.items > 0) {
      what = "one list item";
    } else if (b.kind == OpenKind::Pre) {
      what = "one line of preformatted text";
    }
  }
  // Below the innermost block, an outer list item or table cell holds it.
  for (std::size_t i = 0; what.empty() && i + 1 < open_.size(); ++i) {
    const OpenBlock& b = open_[i];
    if (b.kind == OpenKind::List && b.items > 0) what = "one list item";
    if (b.kind == OpenKind::Table && b.items > 0) what = "one table cell";
    unit = b.unitStart;
  }
  if (what.empty()) unit = at;
  if (!obstacles_.empty() && obstacles_.back().what == what && obstacles_.back().unit == unit)
    return;
  obstacles_.push_back({at, std::move(what), unit});
}

void Splitter::OnTag(const PageTag& tag) {
  const Symbol s = tag.sym;
  const bool ignored = s == UnknownTagSymbol || s == AEndSy || (s == ASy && !tag.Find("HREF"));

  if (!tag.endTag && opaque_ == 0) {
    const bool preOpen = !open_.empty() && open_.back().kind == OpenKind::Pre;
    const std::size_t at = leadIn_ != std::string::npos ? leadIn_ : tag.start;
    if (IsBlockStart(s) && !preOpen) {
      AddCut(at, RankBelow(open_.size(), s == HSy ? HeadingCut : BlockCut));
    } else if ((s == LISy || s == DTSy || s == DDSy) && !open_.empty() &&
               open_.back().kind == OpenKind::List) {
      AddCut(at, RankBelow(open_.size() - 1, ItemCut), open_.size() - 1);
    } else if (s == TRSy && !open_.empty() && open_.back().kind == OpenKind::Table) {
      AddCut(at, RankBelow(open_.size() - 1, ItemCut), open_.size() - 1);
    } else if (s == BRSy && !preOpen) {
      // A line break ends a line as in preformatted text: a last resort for
      // a paragraph too long by itself.
      AddCut(tag.end, RankBelow(open_.size(), PreLineCut));
    }
  }
  // An end tag closes what came before: it continues a lead-in, starts none.
  if (!ignored || opaque_ > 0) {
    leadIn_ = std::string::npos;
  } else if (leadIn_ == std::string::npos && !tag.endTag) {
    leadIn_ = tag.start;
  }

  if (tag.endTag) {
    if (IsOpaqueStart(static_cast<Symbol>(s - EndSymbolOffset)) && IsEndSymbol(s)) {
      opaque_ = std::max(0, opaque_ - 1);
    } else if (s == OLEndSy || s == ULEndSy || s == DirEndSy || s == MenuEndSy || s == DLEndSy) {
      Pop(OpenKind::List, tag.name);
    } else if (s == TableEndSy) {
      Pop(OpenKind::Table, tag.name);
    } else if (s == PreEndSy) {
      Pop(OpenKind::Pre, tag.name);
    } else if (s == TDEndSy || s == THEndSy) {
      if (!open_.empty() && open_.back().kind == OpenKind::Table) open_.back().inCell = false;
    } else if (s != UnknownTagSymbol && IsQuoteStart(static_cast<Symbol>(s - EndSymbolOffset))) {
      Pop(OpenKind::Quote, tag.name);
    } else {
      return;
    }
    NoteObstacle(tag.end);
    return;
  }

  if (IsOpaqueStart(s)) {
    ++opaque_;
  } else if (opaque_ > 0) {
    return;
  } else if (IsListStart(s) || s == TableSy || s == PreSy || IsQuoteStart(s)) {
    OpenBlock b{IsListStart(s) ? OpenKind::List
                : s == TableSy ? OpenKind::Table
                : s == PreSy   ? OpenKind::Pre
                               : OpenKind::Quote,
                tag.start, tag.end, tag.name};
    b.unitStart = tag.start;
    if (s == OLSy) {
      if (const PageAttribute* start = tag.Find("START"))
        b.firstNumber = IntValue(AttributeText(page_, *start), 1);
    }
    open_.push_back(std::move(b));
  } else if ((s == LISy || s == DTSy || s == DDSy) && !open_.empty() &&
             open_.back().kind == OpenKind::List) {
    if (s == LISy || s == DTSy || open_.back().items == 0) ++open_.back().items;
    open_.back().unitStart = tag.start;
  } else if (s == TRSy && !open_.empty() && open_.back().kind == OpenKind::Table) {
    ++open_.back().items;
    open_.back().inCell = false;
    open_.back().unitStart = tag.start;
    open_.back().rowTag = page_.substr(tag.start, tag.end - tag.start);
  } else if ((s == TDSy || s == THSy || s == CaptionSy) && !open_.empty() &&
             open_.back().kind == OpenKind::Table) {
    open_.back().inCell = true;
    open_.back().unitStart = tag.start;
    open_.back().cellTag = page_.substr(tag.start, tag.end - tag.start);
    open_.back().cellName = tag.name;
  } else {
    return;
  }
  NoteObstacle(tag.end);
}

// A map's name as the reader takes it: upper case, blanks trimmed; a
// picture's USEMAP without its leading "#".
std::string MapName(std::string value, bool usemap) {
  value = UpperText(value);
  if (usemap && value.size() > 1 && value[0] == '#') value.erase(0, 1);
  return value;
}

void Splitter::NoteImageMap(const PageTag& tag) {
  if (tag.endTag) {
    if (tag.sym == MapEndSy && !maps_.empty() && maps_.back().end == std::string::npos)
      maps_.back().end = tag.end;
    return;
  }
  if (tag.sym == MapSy) {
    const PageAttribute* name = tag.Find("NAME");
    const std::string upper = name ? MapName(AttributeValue(page_, *name), false) : std::string();
    if (!maps_.empty() && maps_.back().end == std::string::npos) maps_.pop_back();  // unclosed
    for (const ImageMap& m : maps_)
      if (m.name == upper) return;  // pictures find the first of a name
    maps_.push_back({upper, tag.start, std::string::npos});
  } else if (tag.sym == ImageSy) {
    if (const PageAttribute* use = tag.Find("USEMAP"))
      uses_.emplace_back(MapName(AttributeValue(page_, *use), true), tag.start);
  }
}

// The maps that pictures of the stretch from..to use and that lie outside
// it: their total size, and their text appended to copies when given. From
// and to both 0: every map a picture of the body uses.
std::size_t Splitter::MapsNeeded(std::size_t from, std::size_t to, std::string* copies) const {
  std::size_t size = 0;
  std::vector<const ImageMap*> taken;
  const bool all = from == 0 && to == 0;  // every map some picture uses: the most a part takes
  for (const auto& [name, pos] : uses_) {
    if (!all && (pos < from || pos >= to)) continue;
    for (const ImageMap& m : maps_) {
      if (m.name != name || m.end == std::string::npos) continue;
      // A map in the head or after the body is in every part.
      if (m.end <= bodyStart_ || m.start >= bodyEnd_ || (!all && m.start >= from && m.end <= to) ||
          std::find(taken.begin(), taken.end(), &m) != taken.end())
        break;
      taken.push_back(&m);
      size += m.end - m.start + 2;
      if (copies) {
        copies->append(page_.substr(m.start, m.end - m.start));
        *copies += "\r\n";
      }
      break;
    }
  }
  return size;
}

void Splitter::Scan() {
  PageTagScanner scanner(page_);
  PageTag tag;
  std::map<std::string, int> seen;  // upper-case anchor -> line
  std::size_t textFrom = bodyStart_;
  // Tags come in page order: lines are counted once.
  struct {
    std::string_view page;
    std::size_t pos = 0;
    int line = 1;
    void Advance(std::size_t to) {
      line += static_cast<int>(std::count(page.begin() + static_cast<long>(pos),
                                          page.begin() + static_cast<long>(to), '\n'));
      pos = to;
    }
  } lines{page_};
  NoteObstacle(bodyStart_);
  while (scanner.Next(tag)) {
    // Anchors anywhere on the page, the head included.
    // Anchors are named as the reader reads them ("&lt;" is "<").
    // An A tag may carry both NAME and ID; the reader makes each an anchor.
    std::string names[2];
    if (tag.sym == ASy) {
      if (const PageAttribute* n = tag.Find("NAME")) names[0] = AttributeValue(page_, *n);
    }
    if (const PageAttribute* id = tag.Find("ID"); id && !tag.endTag)
      names[1] = AttributeValue(page_, *id);
    std::string upperName;
    for (std::string& anchor : names) {
      if (anchor.empty()) continue;
      std::string upper = UpperText(anchor);
      if (upper == upperName) continue;  // ID repeats the tag's own NAME
      upperName = upper;
      lines.Advance(tag.start);
      auto [it, fresh] = seen.emplace(upper, lines.line);
      if (fresh) {
        anchorsAt_.emplace_back(anchor, tag.start);
        anchorLines_.push_back(lines.line);
      } else {
        result_.notes.push_back(name_ + ": anchor \"" + anchor +
                                "\" named twice (lines " + std::to_string(it->second) + " and " +
                                std::to_string(lines.line) + "); links go to the first");
      }
    }
    NoteImageMap(tag);
    if (tag.start < bodyStart_ || tag.start >= bodyEnd_) continue;
    ScanText(textFrom, tag.start);
    OnTag(tag);
    textFrom = tag.end;
  }
  ScanText(std::max(textFrom, bodyStart_), bodyEnd_);
}

// Text between tags: inside preformatted text, or anywhere in a text page,
// every line end is a place to cut; any text ends a run of ignored tags.
void Splitter::ScanText(std::size_t from, std::size_t to) {
  if (to <= from) return;
  std::string_view text = page_.substr(from, to - from);
  if (!IsBlank(text)) leadIn_ = std::string::npos;
  const bool pre = !open_.empty() && open_.back().kind == OpenKind::Pre;
  if (opaque_ > 0 ||
      !(pre ? AllQuoteBelow(open_.size() - 1) : textPage_ && AllQuoteBelow(open_.size())))
    return;
  for (std::size_t nl = text.find('\n'); nl != std::string_view::npos;
       nl = text.find('\n', nl + 1)) {
    AddCut(from + nl + 1, PreLineCut);
    leadIn_ = std::string::npos;
  }
}

std::string Splitter::Describe(std::size_t at) const {
  auto it = std::upper_bound(obstacles_.begin(), obstacles_.end(), at,
                             [](std::size_t a, const Obstacle& o) { return a < o.from; });
  if (it != obstacles_.begin()) {
    --it;
    if (!it->what.empty())
      return it->what + " (line " + std::to_string(LineAt(page_, it->unit)) + ")";
  }
  return "text with no block boundary (line " + std::to_string(LineAt(page_, at)) + ")";
}

std::string Splitter::Link(const std::string& target, const std::string& text) const {
  return "<P><A HREF=\"" + target + "\">" + text + "</A></P>\r\n";
}

std::string Splitter::PartText(std::size_t k, std::size_t n,
                               const std::vector<std::size_t>& cuts) const {
  // cuts[k] .. cuts[k + 1] is part k's stretch of the body; cuts_ index -1
  // stands for the start of the body.
  std::string out;
  const std::string head(page_.substr(0, bodyStart_));
  if (titleEnd_ != std::string::npos) {
    out.append(head, 0, titleEnd_);
    out += " (" + std::to_string(k + 1) + "/" + std::to_string(n) + ")";
    out.append(head, titleEnd_, std::string::npos);
  } else {
    out += head;
  }
  const std::size_t from = cuts[k] == std::string::npos ? bodyStart_ : cuts_[cuts[k]].pos;
  const std::size_t to = cuts[k + 1] == std::string::npos ? bodyEnd_ : cuts_[cuts[k + 1]].pos;
  MapsNeeded(from, to, &out);
  if (k > 0) {
    out += "\r\n" + Link(PartName(name_, static_cast<int>(k)),
                         "Continued from part " + std::to_string(k) + " of " + std::to_string(n));
    out += cuts_[cuts[k]].reopen;
  }
  out.append(page_.substr(from, to - from));
  if (k + 1 < n) {
    out += cuts_[cuts[k + 1]].close;
    out += "\r\n" + Link(PartName(name_, static_cast<int>(k + 2)),
                         "Continued in part " + std::to_string(k + 2) + " of " + std::to_string(n));
  }
  out.append(page_.substr(bodyEnd_));
  return out;
}

// Among the cuts from index next that leave a part starting at s within
// room, the best of the kind asked for (inside cells and items, or between
// blocks): one in the back half of the room if any, then the highest rank,
// then the last. npos when none fits.
std::size_t Splitter::BestCut(std::size_t s, std::size_t room, std::size_t next,
                              bool inside) const {
  std::size_t best = std::string::npos;
  bool bestLate = false;
  for (std::size_t i = next; i < cuts_.size() && cuts_[i].pos - s <= room; ++i) {
    if ((cuts_[i].rank == InsideCut) != inside ||
        cuts_[i].pos - s + cuts_[i].close.size() > room)
      continue;
    const bool late = cuts_[i].pos - s >= room / 2;
    if (best == std::string::npos || (late && !bestLate) ||
        (late == bestLate && cuts_[i].rank >= cuts_[best].rank)) {
      best = i;
      bestLate = late;
    }
  }
  return best;
}

PageSplit Splitter::Run() {
  FindHead();
  Scan();
  // What every part adds besides its stretch of the body, at its largest.
  const std::string widest = PartName(name_, 99999);
  const std::size_t fixed = bodyStart_ + (titleEnd_ != std::string::npos ? 14 : 0) +
                            (page_.size() - bodyEnd_) +
                            2 * (2 + Link(widest, "Continued from part 99999 of 99999").size()) +
                            MapsNeeded(0, 0, nullptr);
  if (fixed >= limit_) {
    result_.error =
        "its head and end alone leave no room within " + std::to_string(limit_) + " bytes";
    return std::move(result_);
  }
  std::vector<std::size_t> chosen{std::string::npos};  // indices into cuts_
  std::size_t s = bodyStart_;
  std::size_t next = 0;  // the first cut after s
  for (;;) {
    const std::size_t reopen =
        chosen.back() == std::string::npos ? 0 : cuts_[chosen.back()].reopen.size();
    const std::size_t room = limit_ - fixed - std::min(reopen, limit_ - fixed);
    if (bodyEnd_ - s <= room) break;
    // The best cut between blocks; one inside a cell or an item only when
    // there is none, or when it would leave the part nearly empty (the start
    // of a table whose one row is over the limit).
    std::size_t best = BestCut(s, room, next, false);
    std::size_t inside = std::string::npos;
    if (best == std::string::npos || cuts_[best].pos - s < room / 4)
      inside = BestCut(s, room, next, true);
    if (inside != std::string::npos &&
        (best == std::string::npos || cuts_[inside].pos > cuts_[best].pos))
      best = inside;
    if (best == std::string::npos || room <= reopen) {
      result_.error = Describe(s + room) + " does not fit in " + std::to_string(limit_) +
                      " bytes and cannot be cut";
      return std::move(result_);
    }
    chosen.push_back(best);
    s = cuts_[best].pos;
    next = best + 1;
  }
  chosen.push_back(std::string::npos);
  const std::size_t n = chosen.size() - 1;
  for (std::size_t k = 0; k < n; ++k) {
    result_.parts.push_back({PartName(name_, static_cast<int>(k + 1)), PartText(k, n, chosen)});
    if (result_.parts.back().bytes.size() > limit_) {
      result_.error =
          "part " + std::to_string(k + 1) + " came out over " + std::to_string(limit_) + " bytes";
      result_.parts.clear();
      return std::move(result_);
    }
  }
  for (std::size_t i = 0; i < anchorsAt_.size(); ++i) {
    std::size_t part = 0;
    for (std::size_t k = 1; k < n; ++k)
      if (anchorsAt_[i].second >= cuts_[chosen[k]].pos) part = k;
    result_.anchors.push_back({anchorsAt_[i].first, anchorLines_[i], part});
  }
  return std::move(result_);
}

}  // namespace

std::string PartName(const std::string& pageName, int number) {
  if (number <= 1) return pageName;
  const std::size_t slash = pageName.find_last_of("/\\");
  const std::size_t dot = pageName.rfind('.');
  const std::size_t at = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                             ? pageName.size()
                             : dot;
  return pageName.substr(0, at) + "-" + std::to_string(number) + pageName.substr(at);
}

PageSplit SplitPage(std::string_view page, const std::string& pageName, std::size_t limit) {
  if (page.size() <= limit) {
    PageSplit whole;
    whole.parts.push_back({pageName, std::string(page)});
    return whole;
  }
  return Splitter(page, pageName, limit).Run();
}

}  // namespace kiv
