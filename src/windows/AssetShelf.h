// CAssetShelf: the "Assets" window. A folder field with "..." and the
// folder's models and images as pictures in a grid, each with its file name:
// a model drawn by the engine into a small texture, lit and framed whole; an
// image scaled down. Pictures are made a few a pass of the main loop, so the
// editor never stalls on a large folder, and kept by file name, size and
// modification time, so a folder shown again costs nothing. A double click
// adds a model at the marker or puts an image on the selected object's first
// texture layer; a model dragged onto the view lands on the surface under the
// cursor. Files are read through the editor's helper process only.
#ifndef TOLVANE_ASSETSHELF_H
#define TOLVANE_ASSETSHELF_H

#include <irrlicht.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace irr;

class CSceneEditor;

class CAssetShelf
{
public:
	explicit CAssetShelf(CSceneEditor& editor) : Editor(editor) {}
	~CAssetShelf();

	//! Builds the window, hidden.
	void Create();
	void Show();
	//! Lists a folder's models and images by name; false when it is no
	//! folder (the shelf is then empty).
	bool ShowFolder(const std::string& folder);
	//! The folder the field names, for the "..." dialog.
	std::string FolderShown() const;
	//! What "..." chose: a folder, or the folder of a file.
	void ChooseFolder(const std::string& chosen);

	//! A pass of the main loop: makes up to PICTURES_PER_PASS pictures
	//! within about PASS_SECONDS and asks for a frame while any are still
	//! to be made.
	void Update();
	//! Return in the folder field, the scroll bar, the close button.
	bool OnGuiEvent(const SEvent::SGUIEvent& event);
	//! A double click on a picture, a drag from one onto the view, the
	//! wheel over the shelf.
	bool OnMouse(const SEvent::SMouseInput& mouse);

	//! A listed file: double click adds the model or applies the image.
	bool Use(size_t entry);
	//! A model dropped at a screen point: on the surface under it, standing
	//! on the bottom of its box; at the marker where no surface is.
	bool DropAt(size_t entry, const core::position2di& point);

	struct SEntry
	{
		std::string File; //!< absolute path
		std::wstring Name;
		bool Model = false;
		long long Size = 0, Time = 0;
	};
	const std::vector<SEntry>& Entries() const { return Listed; }
	//! The picture of an entry; null while it is to be made, or when none
	//! can be had (the file does not load, or the driver draws into no
	//! texture: the name alone stands for it).
	video::ITexture* PictureOf(size_t entry) const;
	//! Listed files whose picture is still to be made.
	size_t Pending() const;
	//! Pictures made since start-up (a file shown again is not made again).
	size_t PicturesMade() const { return Made; }

	//! Pictures a pass makes at most, and the time after which it makes
	//! no second one.
	static constexpr int PICTURES_PER_PASS = 2;
	static constexpr double PASS_SECONDS = 0.008;
	static constexpr u32 PICTURE_SIZE = 64;

	gui::IGUIWindow* Window = 0;
	gui::IGUIEditBox* FolderBox = 0;

private:
	typedef std::tuple<std::string, long long, long long> SKey;
	static SKey KeyOf(const SEntry& entry) { return SKey(entry.File, entry.Size, entry.Time); }
	struct SPicture
	{
		video::ITexture* Texture = 0;
	};
	void MakePicture(const SEntry& entry);
	video::ITexture* DrawModel(const SEntry& entry);
	video::ITexture* ScaleImage(const SEntry& entry);
	scene::ISceneManager* Stage();
	//! The cells show the listed files from the scroll bar's row on.
	void ShowCells();
	bool ShelfAt(const core::position2di& point) const;
	//! The entry whose cell is at a screen point, or -1.
	int EntryAt(const core::position2di& point) const;
	bool OverView(const core::position2di& point) const;

	CSceneEditor& Editor;
	std::vector<SEntry> Listed;
	std::map<SKey, SPicture> Pictures;
	size_t Made = 0;
	//! A scene of its own that pictures of models are drawn in.
	scene::ISceneManager* PictureStage = 0;
	gui::IGUIScrollBar* Rows = 0;
	struct SCell
	{
		gui::IGUIImage* Picture;
		gui::IGUIStaticText* Name;
	};
	std::vector<SCell> Cells;
	//! The entry shown in the first cell.
	size_t FirstShown = 0;
	//! A left press on a picture: it becomes a drag once the mouse moves.
	int Pressed = -1;
	core::position2di PressedAt;
	bool Dragging = false;
};

#endif
