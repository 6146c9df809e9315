#pragma once

// Whether this desktop can open an .xlsx file: an application is registered for the type,
// or a known spreadsheet program is on PATH.
bool spreadsheetApplicationAvailable();
