#include "support/ModelDump.h"

#include <sstream>

namespace tess::test {
namespace {

using namespace embedded;

void DumpCells(std::ostringstream& out, const RowData& row, const std::string& indent) {
    for (const CellData& cell : row.cells) {
        if (cell.source == CellData::Source::Inherited) continue;
        out << indent << "cell " << cell.index
            << (cell.source == CellData::Source::NoFormula ? " none" : " =") << cell.formula
            << "\n";
    }
}

void DumpSheet(std::ostringstream& out, const SheetData& sheet, const std::string& indent) {
    out << indent << "sheet " << static_cast<int>(sheet.kind) << " id " << sheet.id << " '"
        << sheet.name << "' '" << sheet.nameU << "' kind " << static_cast<int>(sheet.shapeKind)
        << " unique '" << sheet.uniqueId << "'"
        << " data '" << sheet.data[0] << "' '" << sheet.data[1] << "' '" << sheet.data[2] << "'"
        << " master " << (sheet.masterShape ? sheet.masterShape->id : -1) << " styles "
        << sheet.styles[0] << "," << sheet.styles[1] << "," << sheet.styles[2] << " rows "
        << sheet.objectRows.to_string() << (sheet.deleted ? " DELETED" : "")
        << (sheet.parent ? " in " + std::to_string(sheet.parent->id) : "") << "\n";
    DumpCells(out, sheet.objectCells, indent + "  ");
    for (const SectionData& section : sheet.sections) {
        out << indent << "  section " << section.index << (section.local ? " local" : "") << " key "
            << section.key << " deleted";
        for (int16_t key : section.deletedKeys)
            out << " " << key;
        out << "\n";
        for (const RowData& row : section.rows) {
            out << indent << "    row type " << row.type << " '" << row.name << "' key " << row.key
                << (row.local ? " local" : "") << "\n";
            DumpCells(out, row, indent + "      ");
        }
    }
    for (int16_t deleted : sheet.deletedSections)
        out << indent << "  deleted section " << deleted << "\n";
    if (sheet.text.local) {
        out << indent << "  text '";
        for (char32_t c : sheet.text.characters)
            out << static_cast<uint32_t>(c) << ",";
        out << "'";
        for (const auto& run : sheet.text.charRuns)
            out << " cp" << run.start << ":" << run.row;
        for (const auto& run : sheet.text.paraRuns)
            out << " pp" << run.start << ":" << run.row;
        for (const auto& field : sheet.text.fields)
            out << " fld" << field.start << "-" << field.end << ":" << field.row;
        out << "\n";
    }
    for (const auto& member : sheet.shapes)
        DumpSheet(out, *member, indent + "  ");
}

}  // namespace

std::string DumpDocument(Model& model, const DocumentData& document) {
    std::ostringstream out;
    out << "document '" << document.name << "'\n";
    for (const auto& style : document.styles)
        DumpSheet(out, *style, "  style ");
    if (document.documentSheet) DumpSheet(out, *document.documentSheet, "  ");
    for (const auto& master : document.masters) {
        out << "  master " << master->id << " '" << master->name << "' " << master->uniqueId << "\n";
        if (master->pageSheet) DumpSheet(out, *master->pageSheet, "    ");
        for (const auto& shape : master->shapes)
            DumpSheet(out, *shape, "    ");
    }
    for (const auto& page : document.pages) {
        model.LoadShapes(*page);
        out << "  page " << page->id << " '" << page->name << "'\n";
        if (page->pageSheet) DumpSheet(out, *page->pageSheet, "    ");
        for (const auto& shape : page->shapes)
            DumpSheet(out, *shape, "    ");
    }
    return out.str();
}

std::string DumpModel(Model& model) {
    std::string dump;
    for (const auto& document : model.Documents())
        dump += DumpDocument(model, *document);
    return dump;
}

}  // namespace tess::test
