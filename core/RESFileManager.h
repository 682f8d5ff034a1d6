#pragma once
#include "framework/FileManager.h"

namespace verdo {

// The file manager of the project table: a new project starts with the defaults a
// Windows application needs.
class RESFileManager : public FileManager {
public:
    void PrimeFields() override;
};

}  // namespace verdo
