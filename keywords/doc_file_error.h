#pragma once

#include <string>

// The texts of the document error box for a keyword file that could not be opened or saved.
namespace keywords {

// From the errno of the failing call, by the program's one file-error mapping ("%1 was not
// found." and the like, with the path), except that a folder in the file's place (EISDIR) is
// an invalid path. Causes the box has no text of its own for read "An unknown error occurred
// while accessing %1."; with no errno (0) the text is "Failed to open document.".
std::string OpenErrorText(int err, const std::string& path);

// As OpenErrorText, with "Failed to save document." when no errno is known.
std::string SaveErrorText(int err, const std::string& path);

} // namespace keywords
