// Save files: the envelope with its checksum, written through a temporary
// file and a backup so that a failure never leaves a torn or lost save.
#include "kv_files.h"
#include "kv_model.h"

#include <stdexcept>

std::string TGame::StateHash() const { return HashText(Data ? WriteJson(*Data) : std::string()); }

void TGame::Save(const std::string& FileName) const {
  std::string Invalid = Validate();
  if (!Invalid.empty()) throw std::runtime_error("Cannot save invalid campaign: " + Invalid);
  const std::string Folder = FolderOf(FileName);
  if (!MakeFolders(Folder)) throw std::runtime_error("Unable to create the save folder " + Folder);

  // The envelope is written piece by piece around the document's own text,
  // which is the same text the checksum covers; no copy of the document is made.
  std::string State = WriteJson(*Data);
  std::string Text = "{ \"schema\" : 1, \"checksum\" : ";
  WriteJsonString(HashText(State), Text);
  Text += ", \"timestamp\" : ";
  WriteJsonString(LocalTimestamp(), Text);
  Text += ", \"state\" : ";
  Text += State;
  Text += " }\n";

  const std::string Temp = FileName + ".tmp", Backup = FileName + ".bak";
  // Only a complete text that has reached the disk may replace the old save.
  if (!WriteFileDurably(Temp, Text)) {
    RemoveFile(Temp);
    throw std::runtime_error("Unable to commit save file.");
  }
  SyncFolder(Folder);
  if (FileExists(FileName)) {
    if (FileExists(Backup)) RemoveFile(Backup);
    if (!RenameFile(FileName, Backup)) throw std::runtime_error("Unable to preserve previous save.");
  }
  if (!RenameFile(Temp, FileName)) {
    if (FileExists(Backup)) RenameFile(Backup, FileName);
    throw std::runtime_error("Unable to commit save file.");
  }
  SyncFolder(Folder);
}

void TGame::Load(const std::string& FileName) {
  TJson Envelope = ParseJson(ReadTextFile(FileName));
  const TJson* Schema = Envelope.IsObject() ? Envelope.Find("schema") : nullptr;
  if (!Schema || !Schema->IsInt() || Schema->Int() != 1) throw std::runtime_error("Unsupported save schema.");
  TJson* State = Envelope.Find("state");
  if (!State || !State->IsObject()) throw std::runtime_error("The save file holds no campaign state.");

  auto Copy = std::make_unique<TJson>(std::move(*State));
  if (HashText(WriteJson(*Copy)) != S(&Envelope, "checksum"))
    throw std::runtime_error("Save checksum failed. Your current campaign is unchanged.");

  std::swap(Data, Copy);
  std::string Invalid = Validate();
  if (!Invalid.empty()) {
    std::swap(Data, Copy);
    throw std::runtime_error("Invalid save: " + Invalid);
  }
  Log.clear();
  Note("Campaign restored. The next companion and random outcome are preserved.");
}
