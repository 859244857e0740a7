// File associations and the settings paths.
//
// The settings file's section "File Types" holds the mask of the design
// file types to associate (default 0x32): bit 0x01 ".zrm", else bit 0x02
// ".zrn"; any of 0x02, 0x10, 0x20 ".ckt".  On a freedesktop system an
// association is a shared-mime-info package (the MIME types and their
// globs) and a desktop entry that opens and prints those types, both in the
// user's data folder; the desktop's database updaters run afterwards when
// they are installed (argument lists, never a shell).  The server
// registration and class ids of the other platform have no counterpart.
//
// The section "Paths" holds the Books and Blocks folders.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Longest path text the program hands on (buffer size, terminator included).
constexpr unsigned kMaxPathLength = 260;

int ReadFileTypeChoice();
bool WriteFileTypeChoice(int mask);

// One file type to associate, from a nine-field document string.
struct CFileTypeEntry {
    QString extension; // ".zrn"
    QString typeId;    // "KestraneCircuit"
    QString typeName;  // "Kestrane Simulation"
    int iconIndex = 0;
};
// The types of a mask, in the order tested (".zrm" or ".zrn", then ".ckt").
std::vector<CFileTypeEntry> ChosenFileTypes(int mask);
// The MIME type name of a file-type id ("application/x-kestranecircuit").
QString MimeTypeOf(const QString& typeId);

// What the registration writes, for a data folder (XDG_DATA_HOME).
struct CAssociationFiles {
    QString mimePackagePath;   // <data>/mime/packages/marrowgate.xml
    QString mimePackage;
    QString desktopEntryPath;  // <data>/applications/marrowgate.desktop
    QString desktopEntry;
};
CAssociationFiles BuildAssociationFiles(int mask, const QString& dataFolder, const QString& program);
// Writes the files of the mask into the data folder (default: the user's)
// and runs the updaters when something changed.  Mask 0 removes ours.
// True when every file was written.
bool RegisterChosenFileTypes(int mask, const QString& dataFolder = QString(), const QString& program = QString());
// The user's data folder ($XDG_DATA_HOME, else ~/.local/share).
QString UserDataFolder();

// The program's folder with a trailing separator.
QString GetProgramFolder();
QString GetActivitiesFolder();
bool SetActivitiesFolder(const QString& folder);
QString GetLibraryFolder();
bool SetLibraryFolder(const QString& folder);

// The long form of a path (symbolic links and "." / ".." resolved, made
// absolute) copied into buffer when it fits (length < size), else the
// buffer is emptied.  Returns the length of the long form, 0 when none.
unsigned NormalizeLongPath(const char* path, char* buffer, unsigned size);
