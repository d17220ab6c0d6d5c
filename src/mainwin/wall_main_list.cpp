// The image list's commands: Open, Add and Remove from list.
#include "mainwin/wall_main.h"

#include <string>

#include "base/error.h"
#include "persist/list_persistence.h"

namespace tavo {

namespace {
constexpr int kNameCol = 0;
constexpr int kPathCol = 1;

// Tells of the paths the list had no room for; the commands call it after their refresh, so the list and
// the preview agree while the message shows.
void ReportRefused(size_t refused) {
    if (refused == 0) return;
    throw Error("The list holds at most " + std::to_string(kMaxRestoredRows - 1) +
                " files: " + std::to_string(refused) + " not added");
}

}  // namespace

std::string FileNameOfPath(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string TForm1::SelectedPath() const {
    return Filez.Cell(kPathCol, Filez.Row());
}

// Only the last row is looked at: an empty row elsewhere stays where it is. The
// list never grows past the rows a restore brings back.
size_t TForm1::AppendPaths(const std::vector<std::string>& paths) {
    ControlUpdate update(Filez);
    size_t added = 0;
    for (const std::string& path : paths) {
        if (!Filez.Cell(kPathCol, Filez.RowCount() - 1).empty()) {
            if (Filez.RowCount() >= kMaxRestoredRows) break;
            Filez.SetRowCount(Filez.RowCount() + 1);
        }
        const int last = Filez.RowCount() - 1;
        Filez.SetCell(kPathCol, last, path);
        Filez.SetCell(kNameCol, last, FileNameOfPath(path));
        ++added;
    }
    if (added > 0) listEdited_ = true;
    return paths.size() - added;
}

void TForm1::BitBtn4Click(Component*) {
    if (!OpenDialog1.Execute()) return;
    size_t refused = 0;
    {
        ControlUpdate update(Filez);
        Filez.SetRowCount(2);
        Filez.SetCell(kPathCol, 1, "");
        listEdited_ = true;
        refused = AppendPaths(OpenDialog1.Files());
    }
    FilezClick(this);
    ReportRefused(refused);
}

void TForm1::BitBtn1Click(Component*) {
    if (!OpenDialog1.Execute()) return;
    const size_t refused = AppendPaths(OpenDialog1.Files());
    FilezClick(this);
    ReportRefused(refused);
}

void TForm1::Removefromlist1Click(Component*) {
    const int row = Filez.Row();
    if (!Filez.Cell(kPathCol, row).empty()) {
        ControlUpdate update(Filez);
        listEdited_ = true;
        if (Filez.RowCount() == 2) {
            Filez.SetCell(kNameCol, row, "");
            Filez.SetCell(kPathCol, row, "");
        } else {
            for (int i = row; i <= Filez.RowCount() - 2; ++i) {
                Filez.SetCell(kNameCol, i, Filez.Cell(kNameCol, i + 1));
                Filez.SetCell(kPathCol, i, Filez.Cell(kPathCol, i + 1));
            }
            Filez.SetRowCount(Filez.RowCount() - 1);
        }
    }
    FilezClick(this);
}

}  // namespace tavo
