#include "cli/Help.h"

namespace tess::cli::help {

std::string Addresses() {
    return R"(OBJECT is an address in the files given (list prints the address of every object):
  document                  the document sheet
  page:P                    the page sheet of page P
  page:P/Sheet.3/Sheet.7    the shape of ID 7 in the group of ID 3 on page P
  page:P/Sheet.7            the same shape: Sheet.ID is found at any depth below
  page:P/Box/Label          shapes by name: Label, a member of the group named Box
  master:M/SHAPE            a shape of master M (master:M alone is only for list)
  page:P/*                  every top-level shape of page P but the source, as --to only;
                            master:M/* likewise
  DOC:page:P/SHAPE          with several files, the document's file name and ':' come
                            first: Other.vsdx:document, Other.vsdx:page:Page-1/Sheet.2
Pages, masters and shapes go by name or universal name, documents by file name, all without
regard to case; a shape's name is looked up among the members right below what precedes it.
A backslash makes the next character plain: \: \/ \* and \\ write a colon, slash, star or
backslash inside a name (page:Q1\/Q2/Title is the shape Title on the page named Q1/Q2).
Quote an OBJECT for the shell when it holds spaces, backslashes or '*'.
)";
}

std::string Visio() {
    return R"(--visio, before the command, works on the drawings open in the running Visio instead of
files: the program attaches to the running "Visio.Application" through COM (the running object
Visio registers) and calls Visio's own automation members. No FILE is given; OBJECTs are
written as on files, a document by its name in Visio (Drawing1.vsdx:page:Page-1/Sheet.3;
the name may be left out when one document is open). A copy is one undo step in Visio (Edit >
Undo takes it back) and saves nothing: save in Visio. check works too, on every sheet of the
open documents but style sheets, asking Visio each question once (which cells a sheet holds,
which rows and shapes a reference reaches). -o, --in-place, --dry-run and check --values are
for files.
When no Visio runs it says "Tessaline requires a Visio document to be open." and ends with
exit status 3.
The Windows build (tessaline-cli.exe) works on files and, with --visio, on the running Visio;
other builds work on files only and refuse --visio (exit status 2).
)";
}

std::string Options() {
    return "The copy options come from the flags alone, a --recipe FILE among them: the command "
           "line\nneither reads nor writes the options the desktop program stores.\n";
}

std::string Recipes() {
    return R"(A recipe is a copy without its source and destinations, kept as a JSON file: copy
--save-recipe FILE writes the recipe of the copy it runs (with --dry-run too), copy --recipe FILE
copies as it says, and the desktop program saves and loads the same files (File > Save Recipe...,
Load Recipe...). Beside --recipe, --section and --all-sections add sections, --rows chooses the
rows of its section afresh, --order orders them, and the option flags given replace the recipe's
options (--append=false, --shape-text=false and the like turn one off). A recipe:
  {
    "program": "Tessaline",             this program's recipe
    "version": 1,                       the version of the format
    "sections": [                       the Sections-tab captions to copy, in any order
      {"caption": "Custom Properties",
       "rows": ["Cost", "Maker"],       optional: the rows to copy (all when absent), by name,
                                        or by the label show prints for rows without one
       "order": ["Maker", "Cost"]},     optional: those rows in their new order, each once
      {"caption": "Line Format"}
    ],
    "options": {                        optional, as the flags set them:
      "copyType": "overwrite",          overwrite or append
      "subShapes": "ignore",            ignore, cells or replace
      "shapeText": false, "helpString": false, "createDestination": false
    }
  }
A recipe that is no JSON, of another version, with an unknown caption, a member of the wrong
type, or a row or section the source lacks is refused (exit status 2), naming the file and the
member; nothing is copied.
)";
}

std::string Rows() {
    return R"(What to copy: --section CAPTION for a Sections-tab caption ('sections FILE OBJECT' lists
the source's, with their row counts), --all-sections for every one the source has, and
--rows CAPTION=ROW[,ROW]... for chosen rows, which copies their section too. A ROW is named
as show and --json print it (Prop.Cost, Row 2, "Geometry Section 1, Row 2") or shortly
(Cost, 2, 1.2). --order CAPTION=ROW[,ROW]... names each chosen row once, in its new order.
)";
}

std::string CopyExamples() {
    return R"(Examples:
  tessaline-cli copy in.vsdx --from page:Page-1/Sheet.1 --to 'page:Page-1/*' \
      --section 'Custom Properties' -o out.vsdx
  tessaline-cli copy in.vsdx --from page:Page-1/Source --to page:Page-1/Target \
      --rows 'Custom Properties=Prop.Cost,Prop.Manufacturer' \
      --order 'Custom Properties=Manufacturer,Cost' --in-place
  tessaline-cli copy in.vsdx --from page:Page-1/Source --to page:Page-2/Sheet.4 \
      --rows 'Geometry=Geometry Section 1, Row 1,Geometry Section 1, Row 2' --dry-run
  tessaline-cli copy a.vsdx b.vsdx --from a.vsdx:master:Box/Sheet.5 \
      --to b.vsdx:page:Page-1/Box --all-sections --in-place
)";
}

std::string ListJson() {
    return R"(JSON (--json): the tree, each object in it as
  kind          application, drawing, stencil, master, page, group or shape
  name          its name
  address       its OBJECT (the application has none)
  master        for an instance of a master, the master's name
  children[]    the objects right below, each like this one
)";
}

std::string ShowJson() {
    return R"(JSON (--json): one object
  object                              the OBJECT shown
  name                                its name
  kind                                document, page, group or shape
  enables[]                           the Sections-tab captions it offers
  sections[]                          each caption shown
  sections[].caption                  the caption
  sections[].rows[]                   its rows (none when the object lacks it)
  sections[].rows[].row               the row's label; null for a caption of one row
  sections[].rows[].cells[]           the row's cells
  sections[].rows[].cells[].name      the cell's name
  sections[].rows[].cells[].formula   its formula ("No Formula" when it has none)
)";
}

std::string SectionsJson() {
    return R"(JSON (--json): one object
  object              the OBJECT
  name                its name
  kind                document, page, group or shape
  sections[]          each Sections-tab caption it offers, in the tab's order
  sections[].caption  the caption
  sections[].rows     the rows it has now (0 for a caption that copies nothing)
)";
}

std::string CopyJson() {
    return R"(JSON (--json): one object
  messages[]                    every message shown, in order ("Clone Complete." ...)
  outcome                       complete, complete with refusals, cancelled, failed or
                                rolled back
  cancelled                     true when the run was cancelled (--on-error cancel)
  destinations[]                each destination, in the order given
  destinations[].object         its OBJECT (for a created one, where it was made)
  destinations[].created        true when the run made it (--create-destination)
  destinations[].rowsAdded      the rows the copy added to it
  destinations[].rowsDeleted    the rows the copy deleted from it
  destinations[].cellsWritten   the cells whose formula the copy wrote
  destinations[].subShapesCreated  the sub-shapes the copy made in it
  destinations[].subShapesDeleted  the sub-shapes the copy deleted from it
  destinations[].refused[]      each formula write it refused, in order
  destinations[].refused[].section  the section's label
  destinations[].refused[].row      the row: its label ("Line Format"), or as the lists name
                                    it ("User.Width", "Row 3")
  destinations[].refused[].cell     the cell ("Scratch.X1"), or the section for a whole write
  destinations[].refused[].formula  the formula that was refused
  destinations[].refused[].error    the host's error number
  destinations[].refused[].message  the host's error text, or why the copy refused it
  destinations[].notDone[]      what was asked but could not be done on it, and why
  destinations[].notDone[].section  the section, as the Rows tab names it
  destinations[].notDone[].text     what was not done and why
  written[]                     the files written
  wouldWrite[]                  with --dry-run, instead of written: the files that would be
  status                        the exit status
)";
}

std::string CheckJson() {
    return R"(JSON (--json): one object
  files               the number of files read (with --visio: of documents open in Visio)
  formulasChecked     the number of formulas of their own that the sheets hold
  broken[]            each formula that names a missing cell or shape
  broken[].object     the OBJECT whose sheet holds it
  broken[].cell       the cell
  broken[].formula    the formula
  broken[].problem    what is missing
)";
}

std::string CheckValues() {
    return R"(With --values, check computes again every value the files store (with the formula the
cell has or inherits, and the values computed for the cells it names, never a stored value) and
compares it with the stored one: numbers within a millionth of their size, text exactly, colors,
dates, an error where Visio stored an error. It prints each value that differs, those of one
cause as one line with their count and an example, then what it did not compare (values that
need the size of drawn text, the clock, the user's settings or where connector routing put a
connector's ends; cells that hold "Themed", which
the theme where a shape is dropped decides), and ends with "N of M values agree". Exit status 0
when all agree, 1 otherwise.
JSON (--values --json): one object
  values                     the number of values compared
  agree                      how many of them agree
  perFile[]                  each file, in the order given
  perFile[].file             its name
  perFile[].values           the values of it compared
  perFile[].agree            how many of them agree
  notCompared                the values not compared, by what they need
  notCompared.themed         cells that hold "Themed" instead of a value
  notCompared.textMetrics    values that need the size of drawn text
  notCompared.clock          values that need the time now or a random number
  notCompared.environment    values that need the user's settings, the program or the file's place
  notCompared.layout         values that need where connector routing put a connector's ends
  groups[]                   the disagreements by cause, the largest group first
  groups[].cause             what they come from, as far as their formulas show
  groups[].count             how many values
  groups[].first             the index in disagreements[] of the first of them
  disagreements[]            each value that differs
  disagreements[].object     the OBJECT whose sheet holds it
  disagreements[].cell       the cell
  disagreements[].formula    the cell's formula, its own or inherited
  disagreements[].visio      the value the file stores
  disagreements[].ours       the value computed
  disagreements[].cause      as in groups[].cause
)";
}

}  // namespace tess::cli::help
