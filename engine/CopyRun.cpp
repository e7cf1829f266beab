#include "engine/CopyRun.h"

namespace tess::engine {

bool CopyRun::IsRunSource(const visio::ShapePtr& sheet) const {
    return request.source && sheet == request.source->sheet;
}

std::vector<std::string> CopyRun::SourceFormulas(const visio::ShapePtr& sheet,
                                                 const std::vector<int16_t>& cells) {
    if (!IsRunSource(sheet)) return sheet->GetFormulas(cells);
    const auto kept = m_sourceFormulas.find(cells);
    if (kept != m_sourceFormulas.end()) return kept->second;
    return m_sourceFormulas[cells] = sheet->GetFormulas(cells);
}

std::vector<std::string> CopyRun::SourceRowNames(const visio::ShapePtr& sheet, int16_t section,
                                                 int16_t count) {
    const auto read = [&] {
        std::vector<std::string> names;
        for (int16_t row = 0; row < count; ++row)
            names.push_back(sheet->CellsSRC(section, row, 0)->RowName());
        return names;
    };
    if (!IsRunSource(sheet)) return read();
    std::vector<std::string>& kept = m_sourceRowNames[section];
    if (kept.size() != static_cast<size_t>(std::max<int16_t>(count, 0))) kept = read();
    return kept;
}

std::string CopyRun::SourceName(const visio::ShapePtr& sheet) {
    if (!IsRunSource(sheet)) return sheet->NameID();
    if (m_sourceName.empty()) m_sourceName = sheet->NameID();
    return m_sourceName;
}

}  // namespace tess::engine
