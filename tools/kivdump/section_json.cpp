#include "kivdump/section_json.h"

#include <QJsonArray>

#include <algorithm>

#include "layout/form_control_check_box.h"
#include "layout/form_control_list.h"
#include "layout/form_control_list_box.h"
#include "layout/form_control_radio.h"
#include "layout/form_control_text_area.h"
#include "layout/heading_space.h"
#include "layout/horz_line.h"
#include "layout/list_items.h"
#include "layout/page.h"
#include "layout/paragraph_space.h"
#include "layout/table.h"
#include "layout/text_section.h"

namespace kiv::dump {

QString Latin1(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

namespace {

const char* ClassName(const TSectionBase& s) {
  if (dynamic_cast<const TOListItem*>(&s)) return "TOListItem";
  if (dynamic_cast<const TDListItem*>(&s)) return "TDListItem";
  if (dynamic_cast<const TUListItem*>(&s)) return "TUListItem";
  if (dynamic_cast<const TPreFormated*>(&s)) return "TPreFormated";
  if (dynamic_cast<const TSection*>(&s)) return "TSection";
  if (dynamic_cast<const THeadingSpace*>(&s)) return "THeadingSpace";
  if (dynamic_cast<const TParagraphSpace*>(&s)) return "TParagraphSpace";
  if (dynamic_cast<const THorzLine*>(&s)) return "THorzLine";
  if (dynamic_cast<const TPage*>(&s)) return "TPage";
  if (dynamic_cast<const ThtmlTable*>(&s)) return "ThtmlTable";
  return "TSectionBase";
}

// What a form control starts with: its value; for selection lists the
// entries of the options selected at first; for text areas the lines.
std::string InitialValue(const TFormControlObj& c) {
  std::string value;
  if (const auto* list = dynamic_cast<const TListBoxFormControlObj*>(&c)) {
    const bool multi = c.Control && c.Control->MultiSelect();
    int single = -1;
    for (std::size_t i = 0; i < list->Options.size(); ++i) {
      if (!list->Options[i].second.IsSelected) continue;
      if (!multi) {
        single = static_cast<int>(i);
        continue;
      }
      if (!value.empty()) value += '\n';
      const auto& [text, option] = list->Options[i];
      value += option.OptionValue.empty() ? text : option.OptionValue;
    }
    if (!multi && !list->Options.empty()) {
      const auto& [text, option] = list->Options[static_cast<std::size_t>(std::max(0, single))];
      value = option.OptionValue.empty() ? text : option.OptionValue;
    }
  } else if (const auto* area = dynamic_cast<const TTextAreaFormControlObj*>(&c)) {
    for (std::size_t i = 0; i < area->InitialLines.size(); ++i) {
      if (i) value += '\n';
      value += area->InitialLines[i];
    }
  } else {
    value = c.FieldValue;
  }
  return value;
}

// The form controls of a text section: kind, name, window size, initial value.
void AddControls(const TSection& s, QJsonObject& o) {
  const auto* list = dynamic_cast<const TFormControlList*>(&*s.Controls);
  if (!list || list->Count() == 0) return;
  QJsonArray controls;
  for (int i = 0; i < list->Count(); ++i) {
    const TFormControlObj& c = *list->Items(i);
    QJsonObject json{{"pos", c.Pos},
                     {"kind", Latin1(c.KindName())},
                     {"name", Latin1(c.FieldName)},
                     {"width", c.ControlWidth()},
                     {"height", c.ControlHeight()},
                     {"value", Latin1(InitialValue(c))}};
    if (const auto* box = dynamic_cast<const TCheckBoxFormControlObj*>(&c))
      json["checked"] = box->InitiallyChecked;
    if (const auto* radio = dynamic_cast<const TRadioButtonFormControlObj*>(&c))
      json["checked"] = radio->InitiallyChecked;
    controls.append(json);
  }
  o["controls"] = controls;
}

void AddTextSection(const TSection& s, QJsonObject& o) {
  o["text"] = Latin1(std::string_view(s.Buffer).substr(0, static_cast<std::size_t>(s.Length)));
  o["listLevel"] = s.ListLevel;
  o["justify"] = s.Justify;
  o["listType"] = s.ListType;
  o["listNumber"] = s.ListNumber;
  QJsonArray runs;
  for (const auto& run : s.Fonts) {
    const TMyFont& f = *run->Font;
    runs.append(QJsonObject{{"pos", run->Pos},
                            {"twelfths", f.SizeTwelfths},
                            {"points", f.Size()},
                            {"bold", f.Bold()},
                            {"italic", f.Italic()},
                            {"underline", f.Underline()},
                            {"fixed", f.Fixed},
                            {"shift", run->Shift},
                            {"url", Latin1(run->Link.Url)},
                            {"target", Latin1(run->Link.Target)},
                            {"color", static_cast<qint64>(f.Color())}});
  }
  o["runs"] = runs;
  QJsonArray images;
  for (const auto& image : s.Images) {
    images.append(QJsonObject{{"pos", image->Pos},
                              {"src", Latin1(image->Source)},
                              {"align", image->Align},
                              {"width", image->ImageWidth},
                              {"height", image->ImageHeight}});
  }
  o["images"] = images;
  QJsonArray lines;
  for (const LineRec& l : s.Lines) {
    lines.append(QJsonObject{{"start", l.Start},
                             {"count", l.Count},
                             {"lineHt", l.LineHt},
                             {"descent", l.Descent},
                             {"spaceBefore", l.SpaceBefore},
                             {"spaceAfter", l.SpaceAfter},
                             {"drawHeight", l.DrawHeight},
                             {"lineIndent", l.LineIndent}});
  }
  o["lines"] = lines;
  AddControls(s, o);
}

// The sections of a cell, each with its top where the cell's layout put it.
QJsonArray CellSectionsJson(const TCell& cell) {
  QJsonArray out;
  int top = cell.StartY;
  for (const auto& section : cell) {
    QJsonObject json = SectionJson(*section);
    json["top"] = top;
    top += section->Height;
    out.append(json);
  }
  return out;
}

void AddTable(const ThtmlTable& t, QJsonObject& o) {
  o["columnCount"] = t.ColumnCount;
  QJsonArray widths;
  for (int c = 0; c < t.ColumnCount && c < TableColumnSlots; ++c)
    widths.append(t.ColumnWidths[static_cast<std::size_t>(c)]);
  o["columnWidths"] = widths;
  o["border"] = t.Border;
  o["cellPadding"] = t.CellPadding;
  o["cellSpacing"] = t.CellSpacing;
  o["justify"] = t.Justify;
  o["bodyWidth"] = t.BodyWidth;
  o["totalWidth"] = t.TotalWidth;
  o["captionOnTop"] = t.CaptionOnTop;
  o["caption"] = CellSectionsJson(*t.Caption->Content);
  QJsonArray rows;
  for (const auto& row : t.Rows) {
    QJsonArray cells;
    for (const auto& cell : *row) {
      cells.append(QJsonObject{
          {"colSpan", cell->ColSpan},
          {"rowSpan", cell->RowSpan},
          {"boxWidth", cell->BoxWidth},
          {"boxHeight", cell->BoxHeight},
          {"valign", cell->VerticalAlign},
          {"sections", cell->Content ? CellSectionsJson(*cell->Content) : QJsonArray()}});
    }
    rows.append(cells);
  }
  o["rows"] = rows;
}

}  // namespace

QJsonObject DocumentJson(const LoadedPage& page, int height, int maxWidth) {
  QJsonObject anchors;
  for (const auto& [name, section] : page.anchors) {
    if (section && !anchors.contains(Latin1(name))) anchors[Latin1(name)] = section->Top;
  }
  return QJsonObject{{"title", Latin1(page.result.DocTitle)},
                     {"base", Latin1(page.result.DocBase)},
                     {"baseTarget", Latin1(page.result.DocBaseTarget)},
                     {"height", height},
                     {"maxWidth", maxWidth},
                     {"anchors", anchors}};
}

QJsonObject SectionJson(const TSectionBase& section) {
  QJsonObject o{{"class", ClassName(section)},      {"top", section.Top},
                {"height", section.Height},         {"drawHeight", section.DrawHeight},
                {"startIndex", section.StartIndex}, {"length", section.Length}};
  if (const auto* text = dynamic_cast<const TSection*>(&section)) AddTextSection(*text, o);
  if (const auto* heading = dynamic_cast<const THeadingSpace*>(&section)) {
    o["level"] = heading->HeadingLevel;
  }
  if (const auto* rule = dynamic_cast<const THorzLine*>(&section)) {
    o["size"] = rule->RuleSize;
    o["width"] = rule->RuleWidth;
    o["percent"] = rule->Percent;
  }
  if (const auto* table = dynamic_cast<const ThtmlTable*>(&section)) AddTable(*table, o);
  return o;
}

}  // namespace kiv::dump
