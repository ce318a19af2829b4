#pragma once
// The update engine's folder operations: delete a tree, create one folder,
// copy a tree. Failures are std::runtime_error with a catalogue text.
//
// Trees are walked entry by entry, never read into memory first. A symbolic
// link or junction inside a tree is removed or copied as a link and never
// entered, so neither routine reaches outside the tree it was given.

#include <cstdint>
#include <functional>
#include <string>

namespace tarnvel {

/// Deletes Folder and everything in it. Read-only files are deleted after
/// their read-only bit is cleared. A file that cannot be deleted stops the
/// removal at once with uUpdate_MyRemoveDir_1 naming the file's full path;
/// a folder that cannot be removed, or cannot even be opened to be emptied,
/// is left behind without an error, and so is a folder on which a file
/// system, or a folder from elsewhere, is mounted (Linux; Windows mounts a
/// volume on a junction, which goes as a link, the volume untouched). A missing Folder is no error. An empty Folder, or one
/// that is the root of a file system or drive (links resolved), is refused
/// before anything is deleted: uUpdate_MyRemoveDir_1 names Folder (the empty
/// one as "").
///
/// No link is ever followed, Folder itself included: a symbolic link or
/// junction given as Folder, or found anywhere in the tree, is removed as the
/// link it is, and what it points at stays untouched. So is a link that
/// takes a folder's place while the tree is being removed: every folder is
/// entered through the folder above it, and only when what was opened is a
/// real folder. Folder is the last name of its path; the folders above it
/// are the caller's path and are followed. Anything else standing at Folder
/// (a file, a pipe) is deleted as a file would be inside the tree. A tree
/// deeper than the open-file limit allows (one handle per level; Linux's
/// usual 1024 means some 1000 levels) keeps its deepest folders, without an
/// error, as folders that cannot be opened.
void MyRemoveDir(const std::string& Folder);

/// Creates exactly the folder Folder (its parent must exist; an existing
/// folder is a failure): uUpdate_MyCreateDir_1 with Folder as passed.
void MyCreateDir(const std::string& Folder);

/// Copies the tree Source into Target, creating Target with its missing
/// parents and overwriting files of the same name (read-only and hidden ones
/// too); files of Target without a counterpart stay. Fails with
/// uUpdate_MyCopyDir_1 when Source is not a folder and uUpdate_MyCopyDir_2
/// when Target (or a sub-folder) cannot be created. A file that cannot be
/// copied does not stop the copy; when the whole tree has been walked,
/// uUpdate_MyCopyDir_3 names Target and every file that was not copied
/// (each followed by ": " and the system's reason, when it gave one), and
/// every folder (with its delimiter) that could not be opened or listed to
/// its end, so that an incomplete copy is never taken for a complete one.
/// Progress, when given, is told the bytes copied so far and the bytes of
/// all the tree's files (counted before the copy begins), first with none
/// done, then as the copy goes, and last with all done.
/// Bytes of the regular files of a tree, walked as a tree copy walks it
/// (links are not followed): what a copy of it writes.
std::uint64_t TreeBytes(const std::string& folder);

using TreeCopyProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;
void MyCopyDir(const std::string& Source, const std::string& Target, const TreeCopyProgress& progress = {});

}  // namespace tarnvel
