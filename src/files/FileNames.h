// Turning the editor's wide-character text into the bytes of file names and
// of C++ string literals, and relative file names into absolute ones.
#ifndef TOLVANE_FILENAMES_H
#define TOLVANE_FILENAMES_H

#include <string>

//! The bytes that name the file `text` names, UTF-8 as the file system
//! expects. A character in 0xFFFFFF80..0xFFFFFFFF is a raw byte as the
//! file-open dialog hands it over (sign-extended) and is kept as that byte.
//! False for text that names no file: a NUL, a surrogate or a value past
//! Unicode.
bool WideToFileName(const wchar_t* text, std::string& bytes);

//! The text that names the file `bytes` names: UTF-8 decoded, any byte that
//! is not part of valid UTF-8 kept as a raw byte (see WideToFileName), so
//! that WideToFileName gives back the same bytes.
std::wstring FileNameToWide(const std::string& bytes);

//! A C++ string literal, quotes included, whose value is exactly `bytes`:
//! backslash, double quote, control characters, bytes past ASCII and a "??"
//! that would start a trigraph are escaped.
std::string CppStringLiteral(const std::string& bytes);

//! printf's "%f" (six decimals, full stop) whatever the process locale.
std::string FixedSix(float value);

//! The process's working directory; empty when it cannot be told.
std::string WorkingDirectory();

//! `path` made absolute against the working directory, with empty names,
//! "." and ".." taken out by name (symbolic links are kept, so that prefixes
//! compare; ".." at the root stays at the root). A final "/" stays; an empty
//! path stays empty, and a relative one stays as it is when the working
//! directory cannot be told.
std::string AbsolutePath(const std::string& path);

//! Whether a path names a folder (through links).
bool IsFolder(const std::string& path);

//! Makes a folder and those above it (mode 0700); false when it cannot be
//! had.
bool MakeFolders(const std::string& path);

//! Whether a model file is of a format (glTF, FBX, Collada) that the
//! engine's own loaders do not read well and the helper reads with the Open
//! Asset Import Library instead: by its extension, in any case.
bool IsLibraryModel(const std::string& file);

#endif
