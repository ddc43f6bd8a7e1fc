// File-name and literal conversions; see FileNames.h.
#include "FileNames.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

std::wstring FileNameToWide(const std::string& bytes)
{
	std::wstring text;
	for (size_t i = 0; i < bytes.size();)
	{
		const unsigned char lead = static_cast<unsigned char>(bytes[i]);
		const size_t length = lead < 0x80                   ? 1
		                      : lead >= 0xC2 && lead < 0xE0 ? 2
		                      : lead >= 0xE0 && lead < 0xF0 ? 3
		                      : lead >= 0xF0 && lead < 0xF5 ? 4
		                                                    : 0;
		uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
		size_t n = 1;
		while (length > 1 && n < length && i + n < bytes.size() &&
		       (static_cast<unsigned char>(bytes[i + n]) & 0xC0) == 0x80)
			code = (code << 6) | (static_cast<unsigned char>(bytes[i + n++]) & 0x3F);
		const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
		if (length == 0 || n != length || overlong || code > 0x10FFFF ||
		    (code >= 0xD800 && code <= 0xDFFF))
		{
			// Sign-extended, as the file-open dialog hands over a raw byte.
			text += static_cast<wchar_t>(static_cast<signed char>(bytes[i]));
			++i;
			continue;
		}
		text += static_cast<wchar_t>(code);
		i += length;
	}
	return text;
}

bool WideToFileName(const wchar_t* text, std::string& bytes)
{
	bytes.clear();
	for (const wchar_t* c = text; c && *c; ++c)
	{
		const uint32_t code = static_cast<uint32_t>(*c);
		if (code >= 0xFFFFFF80u)
			bytes += static_cast<char>(code & 0xff);
		else if (code < 0x80)
			bytes += static_cast<char>(code);
		else if (code < 0x800)
		{
			bytes += static_cast<char>(0xC0 | (code >> 6));
			bytes += static_cast<char>(0x80 | (code & 0x3F));
		}
		else if (code >= 0xD800 && code <= 0xDFFF)
			return false;
		else if (code < 0x10000)
		{
			bytes += static_cast<char>(0xE0 | (code >> 12));
			bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
			bytes += static_cast<char>(0x80 | (code & 0x3F));
		}
		else if (code <= 0x10FFFF)
		{
			bytes += static_cast<char>(0xF0 | (code >> 18));
			bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
			bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
			bytes += static_cast<char>(0x80 | (code & 0x3F));
		}
		else
			return false;
	}
	return true;
}

std::string CppStringLiteral(const std::string& bytes)
{
	std::string literal = "\"";
	for (size_t i = 0; i < bytes.size(); ++i)
	{
		const unsigned char c = static_cast<unsigned char>(bytes[i]);
		if (c == '\\' || c == '"')
		{
			literal += '\\';
			literal += static_cast<char>(c);
		}
		else if (c == '?' && i + 1 < bytes.size() && bytes[i + 1] == '?')
			literal += "?\\"; // "?\?" cannot start a trigraph
		else if (c < 0x20 || c >= 0x7F)
		{
			// Octal escapes stop after three digits, unlike hexadecimal ones.
			const char octal[] = {'\\', char('0' + (c >> 6)), char('0' + ((c >> 3) & 7)),
			                      char('0' + (c & 7)), 0};
			literal += octal;
		}
		else
			literal += static_cast<char>(c);
	}
	return literal + "\"";
}

std::string FixedSix(float value)
{
	char buffer[64];
	const std::to_chars_result r =
	    std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 6);
	return std::string(buffer, r.ptr);
}

std::string WorkingDirectory()
{
	std::error_code error;
	const std::filesystem::path folder = std::filesystem::current_path(error);
	return error ? std::string() : folder.string();
}

std::string AbsolutePath(const std::string& path)
{
	if (path.empty())
		return path;
	std::string full = path;
	if (path[0] != '/')
	{
		const std::string folder = WorkingDirectory();
		if (folder.empty())
			return path;
		full = folder + "/" + path;
	}
	std::vector<std::string> names;
	for (size_t begin = 0; begin <= full.size();)
	{
		const size_t end = std::min(full.find('/', begin), full.size());
		const std::string name = full.substr(begin, end - begin);
		if (name == "..")
		{
			if (!names.empty())
				names.pop_back();
		}
		else if (!name.empty() && name != ".")
			names.push_back(name);
		begin = end + 1;
	}
	std::string absolute;
	for (const std::string& name : names)
		absolute += "/" + name;
	if (absolute.empty() || path.back() == '/')
		absolute += "/";
	return absolute;
}

bool IsFolder(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolders(const std::string& path)
{
	for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1))
	{
		const std::string part = path.substr(0, slash);
		if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
			return false;
		if (slash == std::string::npos)
			return true;
	}
}

bool IsLibraryModel(const std::string& file)
{
	for (const char* extension : {".gltf", ".glb", ".fbx", ".dae"})
	{
		const size_t length = std::strlen(extension);
		if (file.size() > length && strcasecmp(file.c_str() + file.size() - length, extension) == 0)
			return true;
	}
	return false;
}
