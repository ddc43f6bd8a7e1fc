// File-name and literal conversions; see FileNames.h.
#include "FileNames.h"

#include <charconv>
#include <cstdint>

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
