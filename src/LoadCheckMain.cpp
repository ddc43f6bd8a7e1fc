// tolvane_load_check KIND FILE: loads one file with the engine on its null
// driver and exits 0 when it loads, 1 when the engine refuses it. The editor
// runs it before loading a file the user chose; a crash or a hang here costs
// the editor nothing.
#include <irrlicht.h>

#include <cstring>
#include <string>

using namespace irr;

namespace
{
// The first .bsp file in an archive, the level a Quake 3 package holds.
io::path FirstLevelIn(io::IFileArchive* archive)
{
	const io::IFileList* files = archive->getFileList();
	for (u32 i = 0; i < files->getFileCount(); ++i)
	{
		io::path name = files->getFileName(i);
		name.make_lower();
		if (!files->isDirectory(i) && name.size() > 4 &&
		    name.subString(name.size() - 4, 4) == ".bsp")
			return files->getFullFileName(i);
	}
	return "";
}

bool LoadLevel(IrrlichtDevice* device, const char* file)
{
	io::IFileArchive* archive = 0;
	if (device->getFileSystem()->addFileArchive(file, true, true, io::EFAT_ZIP, "", &archive) &&
	    archive)
	{
		const io::path level = FirstLevelIn(archive);
		return !level.empty() && device->getSceneManager()->getMesh(level) != 0;
	}
	return device->getSceneManager()->getMesh(file) != 0;
}
} // namespace

int main(int argc, char** argv)
{
	if (argc != 3)
		return 2;
	SIrrlichtCreationParameters params;
	params.DriverType = video::EDT_NULL;
	params.LoggingLevel = ELL_NONE;
	IrrlichtDevice* device = createDeviceEx(params);
	if (!device)
		return 3;
	const std::string kind = argv[1];
	const char* file = argv[2];
	bool loaded = false;
	if (kind == "mesh")
		loaded = device->getSceneManager()->getMesh(file) != 0;
	else if (kind == "texture")
		loaded = device->getVideoDriver()->getTexture(file) != 0;
	else if (kind == "level")
		loaded = LoadLevel(device, file);
	else
		return 2;
	device->drop();
	return loaded ? 0 : 1;
}
