// "World Properties", "SkyBox Setup" and "Editor Properties"; see
// WorldWindows.h.
#include "WorldWindows.h"

#include "CSceneEditor.h"
#include "EditorIds.h"

const wchar_t* const DefaultFolder = L"C:\\FOLDER\\";

namespace
{
typedef core::rect<s32> Rect;

void SetNumberLabel(gui::IGUIStaticText* label, const gui::IGUIScrollBar* bar)
{
	if (label && bar)
		label->setText(core::stringw(bar->getPos()).c_str());
}
} // namespace

void CWorldWindows::Create()
{
	CSceneEditor& e = Editor;
	gui::IGUIEnvironment* gui = e._gui;
	CSceneEditor::WorldMainWindow =
	    e.AddToolWindow(Rect(30, 30, 500, 500), L"World Properties", ID_WORLD_WINDOW);
	gui::IGUIWindow* w = CSceneEditor::WorldMainWindow;
	e.AddLabel(L"Level Ground", Rect(10, 30, 115, 45), w);
	gui->addButton(Rect(405, 435, 460, 460), w, ID_WORLD_OK, L"Ok");
	gui->addButton(Rect(10, 50, 115, 70), w, ID_WORLD_LOAD_TERRAIN, L"Load Terrain");
	gui->addButton(Rect(120, 50, 245, 70), w, ID_WORLD_TERRAIN_TEXTURE, L"Terrain Texture");
	gui->addButton(Rect(10, 75, 115, 95), w, ID_WORLD_LOAD_PLANE, L"Load Plane");
	gui->addButton(Rect(120, 75, 245, 95), w, ID_WORLD_PLANE_TEXTURE, L"Plane Texture");
	gui->addButton(Rect(10, 100, 115, 120), w, ID_WORLD_LOAD_Q3LEVEL, L"Load Q3Level");
	gui->addButton(Rect(250, 50, 315, 70), w, ID_WORLD_DELETE_TERRAIN, L"Delete");
	gui->addButton(Rect(250, 75, 315, 95), w, ID_WORLD_DELETE_PLANE, L"Delete");
	gui->addButton(Rect(250, 100, 315, 120), w, ID_WORLD_DELETE_Q3LEVEL, L"Delete");

	CreateSkyBoxWindow();

	e.AddLabel(L"FOG", Rect(10, 145, 55, 160), w);
	AddColourBars(w, 165, {ID_WORLD_FOG_RED, ID_WORLD_FOG_GREEN, ID_WORLD_FOG_BLUE},
	              {&e.sbw_fogred, &e.sbw_foggreen, &e.sbw_fogblue},
	              {&e.sbw_red, &e.sbw_green, &e.sbw_blue});
	for (gui::IGUIScrollBar* bar : {e.sbw_red, e.sbw_green, e.sbw_blue})
		bar->setPos(0);
}

void CWorldWindows::CreateSkyBoxWindow()
{
	CSceneEditor& e = Editor;
	gui::IGUIEnvironment* gui = e._gui;
	CSceneEditor::SkyBoxWindow =
	    e.AddToolWindow(Rect(30, 30, 280, 280), L"SkyBox Setup", ID_SKYBOX_WINDOW);
	gui::IGUIWindow* w = CSceneEditor::SkyBoxWindow;
	gui->addButton(Rect(200, 215, 245, 245), w, ID_SKYBOX_OK, L"Ok");
	const wchar_t* const rows[] = {L"Dir:",   L"Up:",    L"Down:", L"Left:",
	                               L"Right:", L"Front:", L"Back:"};
	for (int i = 0; i < 7; ++i)
		e.AddLabel(rows[i], Rect(10, 25 + 25 * i, 55, 45 + 25 * i), w);
	gui::IGUIEditBox** const boxes[] = {
	    &e.sbw_editboxDir,   &e.sbw_editboxUp,    &e.sbw_editboxDown, &e.sbw_editboxLeft,
	    &e.sbw_editboxRight, &e.sbw_editboxFront, &e.sbw_editboxBack};
	for (int i = 0; i < 7; ++i)
	{
		*boxes[i] =
		    gui->addEditBox(i == 0 ? DefaultFolder : L"", Rect(60, 25 + 25 * i, 215, 45 + 25 * i),
		                    true, w, ID_SKYBOX_DIR + i);
		if (i == 0)
			e.sbw_editboxDir->setMax(100);
	}
	gui->addButton(Rect(115, 215, 195, 245), w, ID_SKYBOX_APPLY, L"Apply");
	// "..." picks a texture file for the field beside it.
	for (int i = 0; i < 7; ++i)
		gui->addButton(Rect(220, 25 + 25 * i, 245, 45 + 25 * i), w, ID_SKYBOX_BROWSE + i, L"...");
}

void CWorldWindows::CreateEditorProperties()
{
	CSceneEditor& e = Editor;
	gui::IGUIWindow*& w = CSceneEditor::ScenePropertiesWindow;
	w = e.AddToolWindow(Rect(30, 30, 500, 500), L"Editor Properties", ID_EDITOR_PROPERTIES_WINDOW);
	e.AddLabel(L"Scene Color", Rect(10, 30, 150, 45), w);
	AddColourBars(w, 50, {ID_PLAIN, ID_PLAIN, ID_PLAIN},
	              {&e.spw_refreshred, &e.spw_refreshgreen, &e.spw_refreshblue},
	              {&e.spw_refresh_redbar, &e.spw_refresh_greenbar, &e.spw_refresh_bluebar});
	e._gui->addButton(Rect(405, 435, 460, 460), w, ID_EDITOR_PROPERTIES_OK, L"Ok");
}

void CWorldWindows::AddColourBars(gui::IGUIElement* window, s32 top, const s32 (&barIds)[3],
                                  gui::IGUIStaticText** const (&values)[3],
                                  gui::IGUIScrollBar** const (&bars)[3])
{
	CSceneEditor& e = Editor;
	const wchar_t* const names[3] = {L"Red:", L"Green:", L"Blue:"};
	for (int i = 0; i < 3; ++i)
		*values[i] = e.AddValueLabel(L"0", Rect(265, top + 20 * i, 300, top + 15 + 20 * i), window);
	for (int i = 0; i < 3; ++i)
		e.AddLabel(names[i], Rect(10, top + 20 * i, 55, top + 15 + 20 * i), window);
	for (int i = 0; i < 3; ++i)
		*bars[i] = e._gui->addScrollBar(true, Rect(60, top + 20 * i, 260, top + 15 + 20 * i),
		                                window, barIds[i]);
	for (gui::IGUIScrollBar** bar : bars)
		(*bar)->setMax(255);
}

void CWorldWindows::Update()
{
	const std::array<gui::IGUIScrollBar*, 6> bars = Editor.ColourBars();
	bool moved = false;
	for (int i = 0; i < 6; ++i)
		moved = moved || (bars[i] && bars[i]->getPos() != ShownBars[i]);
	if (!moved)
		return;
	// A bar the user moved away from what it showed sets its colour.
	Editor.Execute(commands::EditWorld(
	    [&](SWorldState& world)
	    {
		    for (int i = 0; i < 6; ++i)
			    if (bars[i] && bars[i]->getPos() != ShownBars[i])
				    world.Bars[i] = ShownBars[i] = bars[i]->getPos();
	    }));
}

void CWorldWindows::ShowColourNumbers()
{
	CSceneEditor& e = Editor;
	SetNumberLabel(e.sbw_fogred, e.sbw_red);
	SetNumberLabel(e.sbw_foggreen, e.sbw_green);
	SetNumberLabel(e.sbw_fogblue, e.sbw_blue);
	SetNumberLabel(e.spw_refreshred, e.spw_refresh_redbar);
	SetNumberLabel(e.spw_refreshgreen, e.spw_refresh_greenbar);
	SetNumberLabel(e.spw_refreshblue, e.spw_refresh_bluebar);
}

void CWorldWindows::ShowColourBars(const s32 (&bars)[6])
{
	for (int i = 0; i < 6; ++i)
	{
		Editor.ColourBars()[i]->setPos(bars[i]);
		ShownBars[i] = Editor.ColourBars()[i]->getPos();
	}
}
