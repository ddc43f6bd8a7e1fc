// The list of recent scene files; see RecentScenes.h.
#include "RecentScenes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

#include "FileNames.h"
#include "Recovery.h"

std::string CRecentScenes::DefaultFile()
{
	// No dot in the name: the recovery's search of the folder passes it by.
	return CRecovery::Folder() + "/recent-scenes";
}

void CRecentScenes::Load(const std::string& file)
{
	File = file;
	List.clear();
	std::ifstream in(file);
	std::string line;
	while (List.size() < MOST && std::getline(in, line))
		if (!line.empty() && std::find(List.begin(), List.end(), line) == List.end())
			List.push_back(line);
}

void CRecentScenes::Add(const std::string& file)
{
	if (file.empty() || file.find('\n') != std::string::npos)
		return;
	List.erase(std::remove(List.begin(), List.end(), file), List.end());
	List.insert(List.begin(), file);
	if (List.size() > MOST)
		List.resize(MOST);
	Keep();
}

void CRecentScenes::Remove(const std::string& file)
{
	List.erase(std::remove(List.begin(), List.end(), file), List.end());
	Keep();
}

// A list that cannot be written costs only the menu of the next run.
void CRecentScenes::Keep() const
{
	if (File.empty() || !MakeFolders(File.substr(0, File.rfind('/'))))
		return;
	// Written beside it and moved into place, so that the list is whole or
	// the earlier one. The name starts with a dot for the same reason.
	const std::string temp = File.substr(0, File.rfind('/') + 1) + ".recent-scenes-new";
	{
		std::ofstream out(temp, std::ios::trunc);
		for (const std::string& file : List)
			out << file << '\n';
		out.close();
		if (!out)
			return;
	}
	std::rename(temp.c_str(), File.c_str());
}
