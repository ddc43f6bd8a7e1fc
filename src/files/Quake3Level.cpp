#include "Quake3Level.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

using namespace irr;
namespace fs = std::filesystem;

namespace
{
std::string Lower(std::string text)
{
	for (char& c : text)
		c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
	return text;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
	return text.size() >= tail.size() && Lower(text.substr(text.size() - tail.size())) == tail;
}

// Archives mounted for one load; they leave the file system with this
// object. One that was mounted before is used but left in place.
class CMounts
{
public:
	explicit CMounts(io::IFileSystem* fileSystem) : FileSystem(fileSystem) {}
	~CMounts()
	{
		for (io::IFileArchive* archive : Added)
			FileSystem->removeFileArchive(archive);
	}
	CMounts(const CMounts&) = delete;
	CMounts& operator=(const CMounts&) = delete;

	// Paths inside the archive are kept, so that only the names a level
	// asks for (textures/..., scripts/...) are found in it.
	io::IFileArchive* mount(const std::string& path, io::E_FILE_ARCHIVE_TYPE type)
	{
		const u32 before = FileSystem->getFileArchiveCount();
		io::IFileArchive* archive = 0;
		if (!FileSystem->addFileArchive(path.c_str(), true, false, type, "", &archive) || !archive)
			return 0;
		if (FileSystem->getFileArchiveCount() > before)
			Added.push_back(archive);
		return archive;
	}

	// Every .pk3 of a folder but `except`, in name order.
	void mountPackages(const fs::path& folder, const fs::path& except)
	{
		std::vector<fs::path> packages;
		std::error_code error;
		for (fs::directory_iterator it(folder, error), end; !error && it != end;
		     it.increment(error))
			if (EndsWithNoCase(it->path().filename().string(), ".pk3") &&
			    !fs::equivalent(it->path(), except, error))
				packages.push_back(it->path());
		std::sort(packages.begin(), packages.end());
		for (const fs::path& package : packages)
			mount(package.string(), io::EFAT_ZIP);
	}

private:
	io::IFileSystem* FileSystem;
	std::vector<io::IFileArchive*> Added;
};

// The entry maps/NAME.bsp as NAME; empty for any other entry.
std::string LevelNameOf(const io::IFileList* files, u32 index)
{
	const std::string entry = Lower(files->getFullFileName(index).c_str());
	const std::string head = "maps/", tail = ".bsp";
	if (files->isDirectory(index) || entry.size() <= head.size() + tail.size() ||
	    entry.compare(0, head.size(), head) != 0 || !EndsWithNoCase(entry, tail))
		return "";
	const std::string name = entry.substr(head.size(), entry.size() - head.size() - tail.size());
	return name.find('/') == std::string::npos ? name : "";
}

// The level file of an archive, opened from that archive itself.
io::IReadFile* OpenArchiveLevel(io::IFileArchive* archive, const std::string& levelName)
{
	const io::IFileList* files = archive->getFileList();
	for (u32 i = 0; i < files->getFileCount(); ++i)
		if (!levelName.empty() && LevelNameOf(files, i) == Lower(levelName))
			return archive->createAndOpenFile(i);
	return 0;
}

// A .bsp in an extracted tree (DATA/maps/name.bsp) finds its textures in
// DATA and in the archives there.
void MountExtractedTree(CMounts& mounts, const std::string& bsp)
{
	const fs::path maps = fs::absolute(fs::path(bsp)).parent_path();
	if (Lower(maps.filename().string()) != "maps")
		return;
	const fs::path data = maps.parent_path();
	mounts.mount(data.string(), io::EFAT_FOLDER);
	mounts.mountPackages(data, fs::path());
}
} // namespace

bool IsLevelArchive(const std::string& file)
{
	return EndsWithNoCase(file, ".pk3") || EndsWithNoCase(file, ".zip");
}

std::vector<std::string> ArchiveLevelNames(io::IFileSystem* fileSystem, const std::string& archive)
{
	std::vector<std::string> names;
	if (!IsLevelArchive(archive))
		return names;
	CMounts mounts(fileSystem);
	io::IFileArchive* mounted = mounts.mount(archive, io::EFAT_ZIP);
	if (!mounted)
		return names;
	const io::IFileList* files = mounted->getFileList();
	for (u32 i = 0; i < files->getFileCount(); ++i)
	{
		const std::string name = LevelNameOf(files, i);
		if (!name.empty())
			names.push_back(name);
	}
	std::sort(names.begin(), names.end());
	names.erase(std::unique(names.begin(), names.end()), names.end());
	return names;
}

io::path LevelCacheName(const std::string& chosen, const std::string& levelName)
{
	std::error_code error;
	fs::path path = fs::absolute(fs::path(chosen), error);
	std::string name = (error ? fs::path(chosen) : path).lexically_normal().string();
	if (IsLevelArchive(chosen))
		name += "#maps/" + Lower(levelName) + ".bsp";
	return io::path(name.c_str());
}

scene::IAnimatedMesh*
LoadQuake3Level(scene::ISceneManager* loaders, const std::string& chosen,
                const std::string& levelName,
                const std::function<void(scene::IAnimatedMesh*, io::IReadFile*)>& whileOpen)
{
	CMounts mounts(loaders->getFileSystem());
	io::IReadFile* file = 0;
	if (IsLevelArchive(chosen))
	{
		// The chosen archive first: its own files win over its neighbours'.
		io::IFileArchive* archive = mounts.mount(chosen, io::EFAT_ZIP);
		if (!archive)
			return 0;
		mounts.mountPackages(fs::absolute(fs::path(chosen)).parent_path(), fs::path(chosen));
		file = OpenArchiveLevel(archive, levelName);
	}
	else
	{
		// Opened before anything is mounted, so it is the file on disk.
		file = loaders->getFileSystem()->createAndOpenFile(chosen.c_str());
		MountExtractedTree(mounts, chosen);
	}
	if (!file)
		return 0;
	scene::IAnimatedMesh* mesh = loaders->getMesh(file);
	if (mesh && whileOpen)
		whileOpen(mesh, file);
	file->drop();
	if (mesh)
		loaders->getMeshCache()->renameMesh(mesh, LevelCacheName(chosen, levelName));
	return mesh;
}

bool HasTriangles(scene::IAnimatedMesh* mesh)
{
	scene::IMesh* frame = mesh ? mesh->getMesh(0) : 0;
	for (u32 i = 0; frame && i < frame->getMeshBufferCount(); ++i)
		if (frame->getMeshBuffer(i)->getIndexCount() >= 3)
			return true;
	return false;
}

bool FindLevelStart(irr::scene::IQ3LevelMesh& level, SLevelStart& start)
{
	using namespace irr;
	// Deathmatch starts first: most levels of a game's maps archive have only those.
	const char* const names[] = {"info_player_deathmatch", "info_player_start"};
	const scene::quake3::tQ3EntityList& entities = level.getEntityList();
	for (const char* name : names)
		for (u32 i = 0; i < entities.size(); ++i)
		{
			const scene::quake3::SVarGroup* values = entities[i].getGroup(1);
			if (!values || entities[i].name != name)
				continue;
			u32 at = 0;
			start.Origin = scene::quake3::getAsVector3df(values->get("origin"), at);
			at = 0;
			start.Angle = scene::quake3::getAsFloat(values->get("angle"), at);
			return true;
		}
	return false;
}
