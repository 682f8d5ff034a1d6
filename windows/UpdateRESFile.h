#pragma once

namespace verdo {

// The project form for the request in GlobalRequest (insert, change, delete, view) on
// the project in the shared buffer; leaves its response in GlobalResponse. A delete
// never shows the form: it asks, deletes the project with its extra items and ends.
void UpdateRESFile();

}  // namespace verdo
