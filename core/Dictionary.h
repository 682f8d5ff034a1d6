#pragma once

namespace verdo {

class FileManager;
class MessageManager;
class RelationManager;

// Each table's file manager (its access object) and relation manager, reachable from
// dictionary start-up to dictionary shut-down.
extern FileManager* Access_RESFile;
extern FileManager* Access_ExtraSeg;
extern FileManager* Access_FileOS;
extern FileManager* Access_FileType;
extern FileManager* Access_CodePage;
extern FileManager* Access_LangID;
extern FileManager* Access_RESBuild;
extern RelationManager* Relate_RESFile;
extern RelationManager* Relate_ExtraSeg;
extern RelationManager* Relate_FileOS;
extern RelationManager* Relate_FileType;
extern RelationManager* Relate_CodePage;
extern RelationManager* Relate_LangID;
extern RelationManager* Relate_RESBuild;

// Creates the managers of the six tables over the composed table names and the shared
// record buffers, and ties the relation between projects and their extra items.
void DictionaryStartup(MessageManager& errors);
void DictionaryShutdown();

// Makes the store know its tables and the rows a new store file starts with.
void RegisterStoreTables();

}  // namespace verdo
