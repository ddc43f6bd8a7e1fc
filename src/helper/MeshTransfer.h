// The helper's side of the hand-over: what the engine loaded (an image, a
// mesh with its textures, the levels of an archive) written as plain data
// (TransferFormat.h) for the editor to check and rebuild.
#ifndef TOLVANE_MESHTRANSFER_H
#define TOLVANE_MESHTRANSFER_H

#include <functional>
#include <irrlicht.h>
#include <string>
#include <vector>

#include "TransferFormat.h"

namespace transfer
{
//! Keeps every image the engine decodes from a file, by the file's name, so
//! that a texture's pixels can be handed over although the null driver's
//! textures have none. Installed first among the driver's image loaders, it
//! decodes with the engine's own loaders. Given a writer, it writes each
//! image there at once (REC_PIXELS) and keeps only its number, so that a
//! level's textures are not held twice.
class CImageRecorder : public irr::video::IImageLoader
{
public:
	explicit CImageRecorder(irr::video::IVideoDriver* driver, CWriter* out = nullptr);
	~CImageRecorder() override;
	bool isALoadableFileExtension(const irr::io::path& filename) const override;
	bool isALoadableFileFormat(irr::io::IReadFile* file) const override;
	irr::video::IImage* loadImage(irr::io::IReadFile* file) const override;
	//! The image decoded from a file of this name, or null.
	irr::video::IImage* image(const irr::io::path& name) const;
	//! The REC_PIXELS record written for a file of this name, or -1.
	int32_t written(const irr::io::path& name) const;

private:
	irr::video::IVideoDriver* Driver;
	CWriter* Out;
	mutable irr::core::map<irr::io::path, irr::video::IImage*> Images;
	mutable irr::core::map<irr::io::path, int32_t> Written;
};

//! Pixels of a texture no file holds (a level's lightmaps); null when there
//! are none. The caller drops the image.
using PixelSource = std::function<irr::video::IImage*(const irr::io::path& name)>;

void Begin(CWriter& out);
void End(CWriter& out);
//! Writes an image; one too large for the editor as its size only.
void WriteImage(CWriter& out, const irr::io::path& name, irr::video::IImage* image);
//! Writes an image as a REC_PIXELS record; the record's number.
int32_t WritePixels(CWriter& out, const irr::io::path& name, irr::video::IImage* image);
void WriteNames(CWriter& out, const std::vector<std::string>& names);
//! Writes why a reader refused the file: its printable ASCII, shortened.
void WriteRefusal(CWriter& out, const std::string& why);
//! Writes a mesh and its textures; a mesh with no triangles is written as
//! REC_EMPTY, a kind of mesh that cannot be rebuilt from data, or a texture
//! without pixels, as REC_KEEP.
void WriteMesh(CWriter& out, irr::scene::IAnimatedMesh* mesh, const CImageRecorder* images,
               const PixelSource& otherPixels = {});
} // namespace transfer

#endif
