// CWorldWindows: "World Properties" (the level ground, the sky box and the
// fog colour), "SkyBox Setup" (the sky box's folder and faces) and "Editor
// Properties" (the scene colour). The six colour bars show the world's
// colours; a bar the user moves sets its colour, as a command of its own.
#ifndef TOLVANE_WORLDWINDOWS_H
#define TOLVANE_WORLDWINDOWS_H

#include <irrlicht.h>

using namespace irr;

class CSceneEditor;

//! What the folder fields ("Dir:" of "SkyBox Setup", "Save Options") start
//! with: a Windows folder, which here means the working directory.
extern const wchar_t* const DefaultFolder;

class CWorldWindows
{
public:
	explicit CWorldWindows(CSceneEditor& editor) : Editor(editor) {}

	//! Builds "World Properties" and "SkyBox Setup", hidden; their controls
	//! are the editor's sbw_ ones.
	void Create();
	//! Builds "Editor Properties", hidden; its bars are the editor's spw_ ones.
	void CreateEditorProperties();
	//! Every frame: a colour bar the user moved sets its colour.
	void Update();
	//! The numbers beside the colour bars follow the bars.
	void ShowColourNumbers();
	//! The scene colour's, then the fog colour's red, green and blue.
	void ShowColourBars(const s32 (&bars)[6]);

	//! What the colour bars last showed: a bar that differs was moved by the
	//! user.
	s32 ShownBars[6] = {};

private:
	void CreateSkyBoxWindow();
	//! Red, green and blue bars from 0 to 255 with a label in front and a
	//! value label behind each, rows 20 pixels apart from `top`.
	void AddColourBars(gui::IGUIElement* window, s32 top, const s32 (&barIds)[3],
	                   gui::IGUIStaticText** const (&values)[3],
	                   gui::IGUIScrollBar** const (&bars)[3]);

	CSceneEditor& Editor;
};

#endif
