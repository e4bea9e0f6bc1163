// The few file-system operations the game needs, each reporting failure plainly.
#pragma once

#include <string>

// The whole file as bytes; raises std::runtime_error naming the file on failure.
std::string ReadTextFile(const std::string& FileName);

// Writes Text to FileName and forces it to the disk; false when any step fails.
bool WriteFileDurably(const std::string& FileName, const std::string& Text);

// Forces the folder's entries (new names, renames) to the disk.
void SyncFolder(const std::string& Folder);

bool FileExists(const std::string& FileName);
bool MakeFolders(const std::string& Folder);
bool RenameFile(const std::string& From, const std::string& To);
bool RemoveFile(const std::string& FileName);
std::string FolderOf(const std::string& FileName);

// The folder the game's assets hang below, with a trailing "/": the folder of
// the running program, or its parent when "assets/font.bmp" is not beside it.
std::string ProgramRoot();

// Local time as "yyyy-mm-dd hh:nn:ss".
std::string LocalTimestamp();
