// The recursive folder search that fills the play list with every matching file below a folder.
#include "files/files.h"

#include "app/forms.h"
#include "app/kensaku_set.h"
#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/error.h"
#include "toolkit/events.h"
#include "toolkit/folder_listing.h"
#include "ui/texts.h"

#include <algorithm>
#include <set>
#include <vector>

using namespace Module2;

namespace {

// One folder on the way down from the start folder.
struct Level {
    QString path;
    tk::FolderListing found;
    std::size_t left = 0; // subfolders not yet searched, taken from the last by name
};

} // namespace

// Depth first: a folder's subfolders from the last to the first by name, each completely, then
// the folder's own files. Pending events are served once per folder, which is how a stop
// request (kensaku_flag = 0) reaches the search. Each folder is read once, and the walk keeps
// its own stack of folders, so the depth of the tree costs no call stack. A link is not
// followed into a folder on the way down or one already searched, nor into a folder whose
// identity the file system does not tell. Result: -1 when the search was abandoned (stopped,
// or the list is full), 0 otherwise.
std::int16_t MainForm::DirDiver(const QString& NewPath, const QString& BackUp) {
    KensakuSet& k = *kensaku_set;
    std::vector<Level> down;
    std::set<platform::FolderId> searched;

    // Starts a folder level; false when the search is to end.
    const auto enter = [&](const QString& folder, bool linked) {
        search.kensaku_flag = kSearchRunning;
        tk::DoEvents();
        if (search.kensaku_flag == 0) return false;
        Level level{folder, {}, 0};
        // A folder that cannot be read adds nothing and the search goes on.
        if (!tk::list_folder(folder, File1.matcher(), level.found)) return true;
        const platform::FolderId id = level.found.id;
        if (id.known()) {
            const bool loop = std::any_of(down.begin(), down.end(),
                                          [&](const Level& l) { return l.found.id == id; });
            if (loop || (linked && searched.count(id))) return true;
            searched.insert(id);
        } else if (linked) {
            return true; // a link to a folder that cannot be told apart might lead round a loop
        }
        level.left = level.found.folders.size();
        down.push_back(std::move(level));
        return true;
    };

    // Appends a folder's own files; false when the list is full.
    const auto append_files = [&](const Level& level) {
        if (excluded_folder(level.path)) return true;
        const QString prefix = tk::with_separator(level.path);
        for (const QString& name : level.found.files) {
            if (!tk::attempt([&] { List1.addItem(prefix + name); })) {
                tk::MsgBoxInfo(texts::kListFull, texts::kMessageTitle);
                return false;
            }
            ++search.hit_count;
            k.Label1.setCaption(texts::searching(search.hit_count));
        }
        return true;
    };

    if (!enter(NewPath, false)) return -1;
    while (!down.empty()) {
        Level& level = down.back();
        if (level.left > 0 && search.kensaku_flag == kSearchRunning) {
            const auto& sub = level.found.folders[--level.left];
            const QString next = tk::join_path(level.path, sub.name);
            if (!enter(next, sub.linked)) return -1;
            continue;
        }
        if (!append_files(level)) return -1;
        down.pop_back();
    }
    if (!BackUp.isEmpty()) tk::attempt([&] { Dir2.setPath(BackUp); });
    return 0;
}
