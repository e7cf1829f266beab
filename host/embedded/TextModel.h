#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/embedded/ModelData.h"

namespace tess::embedded {

class Model;

/// Text in characters (code points) and back to UTF-8.
std::u32string Utf32(std::string_view text);
std::string Utf8(std::u32string_view text);

/// Shape text: ranges, runs of character and paragraph formatting, words, paragraphs and
/// fields. Ranges count characters from 0; a field counts as the text it shows.
class TextModel {
public:
    explicit TextModel(Model& model) : m_model(model) {}

    /// The text a shape shows: its own, else its master shape's.
    const TextData& Of(const SheetData& sheet) const;
    void SetText(const SheetPtr& sheet, TextData text);
    int32_t CharacterCount(const SheetData& sheet) const;
    std::string TextRange(const SheetData& sheet, int32_t begin, int32_t end) const;
    /// The run of a type (visCharPropRow, visParaPropRow, visTabPropRow, visWordRun, visParaRun,
    /// visFieldRun) around a position: its begin and end.
    std::pair<int32_t, int32_t> Run(const SheetData& sheet, int16_t runType,
                                    int32_t position) const;
    /// The Character (3) or Paragraph (4) row formatting a range; -1 when several do.
    int16_t PropsRow(const SheetData& sheet, int16_t section, int32_t begin, int32_t end,
                     int16_t bias) const;
    /// The field exactly covering [begin, end); null when there is none.
    const TextField* FieldAt(const SheetData& sheet, int32_t begin, int32_t end) const;
    void ReplaceText(const SheetPtr& sheet, int32_t begin, int32_t end, std::string_view text);
    /// Gives the range a Character (3) or Paragraph (4) row of its own with one cell changed.
    void SetRunProps(const SheetPtr& sheet, int16_t section, int32_t begin, int32_t end,
                     int16_t cell, int16_t value);
    /// Replaces the range by a field showing the value of a formula (checked as any formula).
    void InsertField(const SheetPtr& sheet, int32_t begin, int32_t end, int16_t category,
                     int16_t code, int16_t format, const std::string& formula);
    /// The formula of a built-in field; throws for a category and code Visio does not have.
    static std::string FieldFormula(int16_t category, int16_t code);

private:
    /// Gives the runs in the range new rows of the section: copies of the rows they had, with
    /// the one cell changed. Returns the section's rows with the new ones after them.
    SectionData AddRunRows(const SheetPtr& sheet, int16_t section, std::vector<TextRun>& runs,
                           std::pair<int32_t, int32_t> range, int16_t cell, int16_t value) const;
    /// The section rebuilt from `rows` in the order the runs first use them (rows no run uses
    /// go), each row in the place of the inherited row it overrides; the runs renumbered.
    SectionData RebuiltRunRows(const SheetPtr& sheet, int16_t section, const SectionData& rows,
                               std::vector<TextRun>& runs) const;

    Model& m_model;
};

}  // namespace tess::embedded
