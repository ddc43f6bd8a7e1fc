// Every tool window, control and menu item as the editor builds them, checked
// against one table kept here: a wrong constant in the editor shows up as a
// row that does not match.
#include "EditorTestSupport.h"

#include <vector>

namespace
{
typedef core::rect<s32> R;

enum Kind
{
	LABEL,        // static text, no border, word wrap
	NOWRAP_LABEL, // static text, no border, no word wrap
	VALUE_LABEL,  // static text, border, no word wrap
	BUTTON,
	EDIT_BOX,      // `max` is the character limit (0: none)
	SCROLL_BAR,    // `max` and `pos`
	CHECK_BOX,     // unchecked
	MATERIAL_LIST, // combo box with the 15 material entries
	IMAGE,         // holds the logo texture
	LIST_BOX
};

struct Control
{
	Kind kind;
	s32 id;
	R rect;
	const wchar_t* text;
	s32 max = 0;
	s32 pos = 0;
};

struct Window
{
	const wchar_t* caption;
	s32 id;
	R rect;
	std::vector<Control> controls;
	bool closeButton = false; // closed with the title bar's button
};

const wchar_t* const Folder = L"C:\\FOLDER\\";

// The seven tool windows, the level chooser, "Save Scene", "Transform", "Scene Objects",
// "Assets", "Export glTF" and "Properties", in the order they are built, and their controls in the
// order each window creates them.
const std::vector<Window> ToolWindows = {
    {L"Editor Properties",
     100,
     R(30, 30, 500, 500),
     {
         {LABEL, 0, R(10, 30, 150, 45), L"Scene Color"},
         {VALUE_LABEL, 0, R(265, 50, 300, 65), L"0"},
         {VALUE_LABEL, 0, R(265, 70, 300, 85), L"0"},
         {VALUE_LABEL, 0, R(265, 90, 300, 105), L"0"},
         {LABEL, 0, R(10, 50, 55, 65), L"Red:"},
         {LABEL, 0, R(10, 70, 55, 85), L"Green:"},
         {LABEL, 0, R(10, 90, 55, 105), L"Blue:"},
         {SCROLL_BAR, 0, R(60, 50, 260, 65), L"", 255, 0},
         {SCROLL_BAR, 0, R(60, 70, 260, 85), L"", 255, 0},
         {SCROLL_BAR, 0, R(60, 90, 260, 105), L"", 255, 0},
         {BUTTON, 101, R(405, 435, 460, 460), L"Ok"},
     }},
    {L"Save Options",
     0,
     R(30, 30, 250, 200),
     {
         {BUTTON, 102, R(170, 135, 215, 160), L"Ok"},
         {LABEL, 0, R(10, 30, 150, 45), L"Directory:"},
         {EDIT_BOX, 103, R(10, 45, 180, 65), Folder, 0},
         {BUTTON, 105, R(185, 45, 210, 65), L"..."},
         {BUTTON, 104, R(110, 135, 165, 160), L"Cancel"},
     }},
    {L"World Properties",
     301,
     R(30, 30, 500, 500),
     {
         {LABEL, 0, R(10, 30, 115, 45), L"Level Ground"},
         {BUTTON, 302, R(405, 435, 460, 460), L"Ok"},
         {BUTTON, 303, R(10, 50, 115, 70), L"Load Terrain"},
         {BUTTON, 304, R(120, 50, 245, 70), L"Terrain Texture"},
         {BUTTON, 305, R(10, 75, 115, 95), L"Load Plane"},
         {BUTTON, 306, R(120, 75, 245, 95), L"Plane Texture"},
         {BUTTON, 307, R(10, 100, 115, 120), L"Load Q3Level"},
         {BUTTON, 308, R(250, 50, 315, 70), L"Delete"},
         {BUTTON, 309, R(250, 75, 315, 95), L"Delete"},
         {BUTTON, 310, R(250, 100, 315, 120), L"Delete"},
         {LABEL, 0, R(10, 145, 55, 160), L"FOG"},
         {VALUE_LABEL, 0, R(265, 165, 300, 180), L"0"},
         {VALUE_LABEL, 0, R(265, 185, 300, 200), L"0"},
         {VALUE_LABEL, 0, R(265, 205, 300, 220), L"0"},
         {LABEL, 0, R(10, 165, 55, 180), L"Red:"},
         {LABEL, 0, R(10, 185, 55, 200), L"Green:"},
         {LABEL, 0, R(10, 205, 55, 220), L"Blue:"},
         {SCROLL_BAR, 321, R(60, 165, 260, 180), L"", 255, 0},
         {SCROLL_BAR, 322, R(60, 185, 260, 200), L"", 255, 0},
         {SCROLL_BAR, 323, R(60, 205, 260, 220), L"", 255, 0},
     }},
    {L"SkyBox Setup",
     311,
     R(30, 30, 280, 280),
     {
         {BUTTON, 312, R(200, 215, 245, 245), L"Ok"},
         {LABEL, 0, R(10, 25, 55, 45), L"Dir:"},
         {LABEL, 0, R(10, 50, 55, 70), L"Up:"},
         {LABEL, 0, R(10, 75, 55, 95), L"Down:"},
         {LABEL, 0, R(10, 100, 55, 120), L"Left:"},
         {LABEL, 0, R(10, 125, 55, 145), L"Right:"},
         {LABEL, 0, R(10, 150, 55, 170), L"Front:"},
         {LABEL, 0, R(10, 175, 55, 195), L"Back:"},
         {EDIT_BOX, 313, R(60, 25, 215, 45), Folder, 100},
         {EDIT_BOX, 314, R(60, 50, 215, 70), L"", 0},
         {EDIT_BOX, 315, R(60, 75, 215, 95), L"", 0},
         {EDIT_BOX, 316, R(60, 100, 215, 120), L"", 0},
         {EDIT_BOX, 317, R(60, 125, 215, 145), L"", 0},
         {EDIT_BOX, 318, R(60, 150, 215, 170), L"", 0},
         {EDIT_BOX, 319, R(60, 175, 215, 195), L"", 0},
         {BUTTON, 320, R(115, 215, 195, 245), L"Apply"},
         {BUTTON, 360, R(220, 25, 245, 45), L"..."},
         {BUTTON, 361, R(220, 50, 245, 70), L"..."},
         {BUTTON, 362, R(220, 75, 245, 95), L"..."},
         {BUTTON, 363, R(220, 100, 245, 120), L"..."},
         {BUTTON, 364, R(220, 125, 245, 145), L"..."},
         {BUTTON, 365, R(220, 150, 245, 170), L"..."},
         {BUTTON, 366, R(220, 175, 245, 195), L"..."},
     }},
    {L"Selected Model Properties",
     402,
     R(40, 40, 280, 330),
     {
         {BUTTON, 403, R(175, 260, 235, 285), L"Ok"},
         {BUTTON, 404, R(10, 30, 95, 55), L"Load Skin1"},
         {BUTTON, 405, R(100, 30, 195, 55), L"Load Skin2"},
         {MATERIAL_LIST, 406, R(10, 60, 195, 80), nullptr},
         {CHECK_BOX, 407, R(10, 85, 130, 100), L"Shadow"},
         {CHECK_BOX, 408, R(115, 85, 195, 100), L"Fog"},
         {CHECK_BOX, 0, R(10, 105, 130, 120), L"WireFrame"},
         {CHECK_BOX, 0, R(115, 105, 210, 120), L"Lighting"},
         {LABEL, 0, R(10, 125, 60, 140), L"ScaleX"},
         {LABEL, 0, R(10, 145, 60, 160), L"ScaleY"},
         {LABEL, 0, R(10, 165, 60, 180), L"ScaleZ"},
         {SCROLL_BAR, 409, R(65, 125, 195, 140), L"", 10, 1},
         {SCROLL_BAR, 410, R(65, 145, 195, 160), L"", 10, 1},
         {SCROLL_BAR, 411, R(65, 165, 195, 180), L"", 10, 1},
         {VALUE_LABEL, 0, R(200, 125, 225, 140), L""},
         {VALUE_LABEL, 0, R(200, 145, 225, 160), L""},
         {VALUE_LABEL, 0, R(200, 165, 225, 180), L""},
         {NOWRAP_LABEL, 0, R(10, 185, 60, 205), L"File:"},
         {NOWRAP_LABEL, 0, R(10, 210, 80, 230), L"Texture:"},
         {NOWRAP_LABEL, 0, R(10, 235, 80, 255), L"Texture2:"},
         {EDIT_BOX, 0, R(85, 185, 225, 205), L"", 0},
         {EDIT_BOX, 0, R(85, 210, 225, 230), L"", 0},
         {EDIT_BOX, 0, R(85, 235, 225, 255), L"", 0},
     }},
    {L"About",
     501,
     R(300, 200, 505, 355),
     {
         {NOWRAP_LABEL, 0, R(5, 90, 200, 105), nullptr},
         {NOWRAP_LABEL, 0, R(5, 110, 200, 125), nullptr},
         {IMAGE, 0, R(5, 25, 195, 85), L""},
         {BUTTON, 503, R(40, 130, 160, 150), L"Close"},
     }},
    {L"Selected Water Properties",
     0,
     R(40, 40, 280, 330),
     {
         {BUTTON, 412, R(175, 260, 235, 285), L"Ok"},
         {BUTTON, 413, R(10, 30, 95, 55), L"Load Skin1"},
         {BUTTON, 414, R(100, 30, 195, 55), L"Load Skin2"},
         {MATERIAL_LIST, 0, R(10, 60, 195, 80), nullptr},
         {NOWRAP_LABEL, 0, R(10, 90, 100, 105), L"Wave height"},
         {SCROLL_BAR, 0, R(105, 90, 190, 105), L"", 100, 0},
         {VALUE_LABEL, 0, R(195, 90, 235, 105), L""},
         {NOWRAP_LABEL, 0, R(10, 110, 100, 125), L"Wave length"},
         {SCROLL_BAR, 0, R(105, 110, 190, 125), L"", 500, 1},
         {VALUE_LABEL, 0, R(195, 110, 235, 125), L""},
         {NOWRAP_LABEL, 0, R(10, 130, 100, 145), L"Wave speed"},
         {SCROLL_BAR, 0, R(105, 130, 190, 145), L"", 2000, 1},
         {VALUE_LABEL, 0, R(195, 130, 235, 145), L""},
     }},
    {L"Choose a Level",
     330,
     R(250, 150, 550, 420),
     {
         {LIST_BOX, 331, R(10, 30, 290, 225), nullptr},
         {BUTTON, 332, R(150, 235, 215, 260), L"Ok"},
         {BUTTON, 333, R(225, 235, 290, 260), L"Cancel"},
     }},
    {L"Save Scene",
     350,
     R(150, 150, 650, 260),
     {
         {LABEL, 0, R(10, 35, 45, 50), L"File:"},
         {EDIT_BOX, 351, R(50, 30, 455, 50), L""},
         {BUTTON, 354, R(460, 30, 490, 50), L"..."},
         {BUTTON, 352, R(340, 70, 410, 95), L"Ok"},
         {BUTTON, 353, R(420, 70, 490, 95), L"Cancel"},
     }},
    {L"Transform",
     700,
     R(458, 30, 790, 185),
     {
         {LABEL, 0, R(108, 25, 123, 40), L"X"},
         {LABEL, 0, R(192, 25, 207, 40), L"Y"},
         {LABEL, 0, R(276, 25, 291, 40), L"Z"},
         {LABEL, 0, R(10, 45, 72, 60), L"Position"},
         {EDIT_BOX, 701, R(74, 42, 154, 62), L""},
         {EDIT_BOX, 702, R(158, 42, 238, 62), L""},
         {EDIT_BOX, 703, R(242, 42, 322, 62), L""},
         {LABEL, 0, R(10, 70, 72, 85), L"Rotation"},
         {EDIT_BOX, 704, R(74, 67, 154, 87), L""},
         {EDIT_BOX, 705, R(158, 67, 238, 87), L""},
         {EDIT_BOX, 706, R(242, 67, 322, 87), L""},
         {LABEL, 0, R(10, 95, 72, 110), L"Scale"},
         {EDIT_BOX, 707, R(74, 92, 154, 112), L""},
         {EDIT_BOX, 708, R(158, 92, 238, 112), L""},
         {EDIT_BOX, 709, R(242, 92, 322, 112), L""},
         {CHECK_BOX, 710, R(82, 122, 147, 142), L"Snap"},
         {LABEL, 0, R(154, 125, 184, 140), L"Grid"},
         {EDIT_BOX, 711, R(184, 122, 229, 142), L"10"},
         {LABEL, 0, R(235, 125, 275, 140), L"Angle"},
         {EDIT_BOX, 712, R(275, 122, 324, 142), L"15"},
     },
     true},
    {L"Scene Objects",
     720,
     R(530, 195, 790, 475),
     {
         {NOWRAP_LABEL, 0, R(10, 33, 48, 48), L"Find:"},
         {EDIT_BOX, 724, R(50, 30, 250, 50), L""},
         {EDIT_BOX, 725, R(50, 30, 250, 50), L""},
         {LIST_BOX, 721, R(10, 54, 250, 242), nullptr},
         {BUTTON, 722, R(10, 248, 125, 272), L"Hide"},
         {BUTTON, 723, R(135, 248, 250, 272), L"Lock"},
     },
     true},
    {L"Assets",
     390,
     R(430, 60, 790, 515),
     {
         {LABEL, 0, R(10, 33, 62, 48), L"Folder:"},
         {EDIT_BOX, 391, R(64, 30, 310, 50), L""},
         {BUTTON, 392, R(315, 30, 345, 50), L"..."},
         {SCROLL_BAR, 393, R(335, 60, 350, 444), L"", 0, 0},
     },
     true},
    {L"Export glTF",
     380,
     R(150, 150, 650, 260),
     {
         {LABEL, 0, R(10, 35, 45, 50), L"File:"},
         {EDIT_BOX, 381, R(50, 30, 455, 50), L""},
         {BUTTON, 384, R(460, 30, 490, 50), L"..."},
         {BUTTON, 382, R(340, 70, 410, 95), L"Ok"},
         {BUTTON, 383, R(420, 70, 490, 95), L"Cancel"},
     }},
    {L"Properties",
     730,
     R(10, 130, 370, 590),
     {
         {LABEL, 731, R(10, 26, 330, 44), L"No object selected"},
         {SCROLL_BAR, 739, R(335, 52, 351, 452), L"", 0, 0},
     },
     true},
};

const wchar_t* const Materials[] = {
    L"SOLID",
    L"SOLID_2_LAYER",
    L"LIGHTMAP",
    L"LIGHTMAP_ADD",
    L"LIGHTMAP_M2",
    L"LIGHTMAP_M4",
    L"LIGHTMAP_LIGHTING",
    L"LIGHTMAP_LIGHTING_M2",
    L"LIGHTMAP_LIGHTING_M4",
    L"SPHERE_MAP",
    L"REFLECTION_2_LAYER",
    L"TRANS_ADD_COLOR",
    L"TRANS_ALPHA_CHANNEL",
    L"TRANS_VERTEX_ALPHA",
    L"TRANS_REFLECT_2_LAYER",
};

const gui::EGUI_ELEMENT_TYPE ElementType[] = {gui::EGUIET_STATIC_TEXT, gui::EGUIET_STATIC_TEXT,
                                              gui::EGUIET_STATIC_TEXT, gui::EGUIET_BUTTON,
                                              gui::EGUIET_EDIT_BOX,    gui::EGUIET_SCROLL_BAR,
                                              gui::EGUIET_CHECK_BOX,   gui::EGUIET_COMBO_BOX,
                                              gui::EGUIET_IMAGE,       gui::EGUIET_LIST_BOX};

// The children a builder created, without the window's own title-bar buttons.
std::vector<gui::IGUIElement*> Controls(gui::IGUIElement* window)
{
	std::vector<gui::IGUIElement*> controls;
	for (gui::IGUIElement* child : window->getChildren())
		if (!child->isSubElement())
			controls.push_back(child);
	return controls;
}

void CheckControl(const Control& row, gui::IGUIElement* element)
{
	ASSERT_EQ(ElementType[row.kind], element->getType());
	EXPECT_EQ(row.id, element->getID());
	EXPECT_EQ(row.rect, element->getRelativePosition());
	if (row.text)
	{
		EXPECT_STREQ(row.text, element->getText());
	}
	switch (row.kind)
	{
	case LABEL:
	case NOWRAP_LABEL:
	case VALUE_LABEL:
	{
		gui::IGUIStaticText* text = static_cast<gui::IGUIStaticText*>(element);
		EXPECT_EQ(row.kind == VALUE_LABEL, text->isDrawBorderEnabled());
		EXPECT_EQ(row.kind == LABEL, text->isWordWrapEnabled());
		break;
	}
	case EDIT_BOX:
		EXPECT_EQ(u32(row.max), static_cast<gui::IGUIEditBox*>(element)->getMax());
		break;
	case SCROLL_BAR:
		EXPECT_EQ(row.max, static_cast<gui::IGUIScrollBar*>(element)->getMax());
		EXPECT_EQ(row.pos, static_cast<gui::IGUIScrollBar*>(element)->getPos());
		break;
	case CHECK_BOX: EXPECT_FALSE(static_cast<gui::IGUICheckBox*>(element)->isChecked()); break;
	case MATERIAL_LIST:
	{
		gui::IGUIComboBox* list = static_cast<gui::IGUIComboBox*>(element);
		ASSERT_EQ(15u, list->getItemCount());
		for (u32 i = 0; i < 15; ++i)
			EXPECT_STREQ(Materials[i], list->getItem(i)) << "entry " << i;
		break;
	}
	case IMAGE: EXPECT_NE(nullptr, static_cast<gui::IGUIImage*>(element)->getImage()); break;
	case BUTTON:
	case LIST_BOX: break;
	}
}
} // namespace

TEST_F(EditorTest, ToolWindowsMatchTheLayoutTable)
{
	std::vector<gui::IGUIElement*> windows;
	for (gui::IGUIElement* child : editor->_gui->getRootGUIElement()->getChildren())
		if (child->getType() == gui::EGUIET_WINDOW)
			windows.push_back(child);
		else if (child->getType() == gui::EGUIET_MODAL_SCREEN) // "Choose a Level"
			windows.push_back(*child->getChildren().begin());
	ASSERT_EQ(ToolWindows.size() + 2, windows.size())
	    << "fourteen tool windows, the particle editor and the info window";
	EXPECT_EQ(CSceneEditor::ParticleWindow, windows[ToolWindows.size()]);

	for (size_t w = 0; w < ToolWindows.size(); ++w)
	{
		const Window& row = ToolWindows[w];
		SCOPED_TRACE(core::stringc(row.caption).c_str());
		gui::IGUIWindow* window = static_cast<gui::IGUIWindow*>(windows[w]);
		EXPECT_STREQ(row.caption, window->getText());
		EXPECT_EQ(row.id, window->getID());
		EXPECT_EQ(row.rect, window->getRelativePosition());
		EXPECT_FALSE(window->isVisible());
		EXPECT_EQ(row.closeButton, window->getCloseButton()->isVisible());
		// A window that stays open while one works leaves "Scene Information"
		// (the camera mode) in sight and the 800 by 600 window whole.
		if (row.closeButton)
		{
			EXPECT_FALSE(row.rect.isRectCollided(windows.back()->getRelativePosition()));
			const core::rect<s32> screen(0, 20, 800, 600);
			EXPECT_TRUE(screen.isPointInside(row.rect.UpperLeftCorner) &&
			            screen.isPointInside(row.rect.LowerRightCorner));
		}

		const std::vector<gui::IGUIElement*> controls = Controls(window);
		ASSERT_EQ(row.controls.size(), controls.size());
		for (size_t c = 0; c < controls.size(); ++c)
		{
			SCOPED_TRACE("control " + std::to_string(c) + " " +
			             core::stringc(controls[c]->getText()).c_str());
			CheckControl(row.controls[c], controls[c]);
		}
	}
	EXPECT_STREQ(L"Scene Information", windows.back()->getText()) << "built last";
}

TEST_F(EditorTest, WindowsAndControlsAreReachableThroughTheirFields)
{
	EXPECT_STREQ(L"Editor Properties", CSceneEditor::ScenePropertiesWindow->getText());
	EXPECT_STREQ(L"World Properties", CSceneEditor::WorldMainWindow->getText());
	EXPECT_STREQ(L"About", CSceneEditor::AboutWindow->getText());
	EXPECT_STREQ(L"Selected Model Properties", CSceneEditor::ModelPropertiesWindow->getText());
	EXPECT_STREQ(L"SkyBox Setup", CSceneEditor::SkyBoxWindow->getText());
	EXPECT_STREQ(L"Selected Water Properties", CSceneEditor::WaterPropertiesWindow->getText());
	EXPECT_STREQ(L"Save Options", editor->SaveOptionsWindow->getText());

	EXPECT_EQ(409, editor->mpw_scaleX->getID());
	EXPECT_EQ(411, editor->mpw_scaleZ->getID());
	EXPECT_EQ(321, editor->sbw_red->getID());
	EXPECT_EQ(323, editor->sbw_blue->getID());
	EXPECT_EQ(313, editor->sbw_editboxDir->getID());
	EXPECT_EQ(319, editor->sbw_editboxBack->getID());
	EXPECT_EQ(103, editor->sow_editboxDir->getID());
	EXPECT_STREQ(L"Shadow", editor->mpw_shadowbox->getText());
	EXPECT_STREQ(L"Lighting", editor->mpw_lightbox->getText());
	EXPECT_EQ(editor->ModelPropertiesWindow, editor->mpw_boxTexture2->getParent());
	EXPECT_EQ(editor->WaterPropertiesWindow, editor->wpw_render_type->getParent());
	EXPECT_EQ(nullptr, editor->wmw_cameramodebox);
	EXPECT_STREQ(L"0", editor->spw_refreshblue->getText());
	EXPECT_EQ(editor->ScenePropertiesWindow, editor->spw_refresh_bluebar->getParent());
}

TEST_F(EditorTest, ValueLabelsFollowTheirBarsEveryFrame)
{
	EXPECT_STREQ(L"", editor->mpw_scale_x->getText()) << "empty until the first update";
	editor->sbw_red->setPos(128);
	editor->spw_refresh_greenbar->setPos(255);
	editor->mpw_scaleZ->setPos(4);
	editor->Update();
	EXPECT_STREQ(L"128", editor->sbw_fogred->getText());
	EXPECT_STREQ(L"0", editor->sbw_foggreen->getText());
	EXPECT_STREQ(L"255", editor->spw_refreshgreen->getText());
	EXPECT_STREQ(L"1", editor->mpw_scale_x->getText());
	EXPECT_STREQ(L"4", editor->mpw_scale_z->getText());
}

namespace
{
struct MenuRow
{
	int depth;           // 0: top-level entry, 1: item, 2: item of "Add"
	const wchar_t* text; // empty: separator
	s32 command;
	bool submenu;
};

const MenuRow MenuTree[] = {
    {0, L"File", -1, true},
    {1, L"Clear", 40, false},
    {1, L"", -1, false},
    {1, L"Open Scene", 44, false},
    {1, L"Open Recent", 46, true},
    {2, L"(no scenes yet)", -1, false},
    {1, L"Save Scene", 45, false},
    {1, L"", -1, false},
    {1, L"Save C++", 43, false},
    {1, L"Export glTF", 48, false},
    {1, L"", -1, false},
    {1, L"Properties", 41, false},
    {1, L"", -1, false},
    {1, L"Quit", 42, false},
    {0, L"Edit", -1, true},
    {1, L"Undo", 30, false},
    {1, L"Redo", 31, false},
    {0, L"View", -1, true},
    {1, L"Scene Info", 50, false},
    {1, L"Scene Objects", 51, false},
    {1, L"Assets", 52, false},
    {1, L"Properties", 59, false},
    {1, L"", -1, false},
    {1, L"Perspective", 53, false},
    {1, L"Top", 54, false},
    {1, L"Front", 55, false},
    {1, L"Side", 56, false},
    {1, L"Four Views", 57, false},
    {1, L"", -1, false},
    {1, L"Grid", 58, false},
    {0, L"World", -1, true},
    {1, L"SkyBox Setup", 61, false},
    {1, L"World Properties", 60, false},
    {0, L"Object", -1, true},
    {1, L"Add", -1, true},
    {2, L"Model", 72, false},
    {2, L"Water", 73, false},
    {2, L"Light", 76, false},
    {2, L"Billboard", 77, false},
    {2, L"Cube", 78, false},
    {2, L"Sphere", 79, false},
    {2, L"Camera", 82, false},
    {2, L"Sky Dome", 83, false},
    {2, L"Empty", 81, false},
    {1, L"Remove", 70, false},
    {1, L"Properties", 71, false},
    {1, L"Transform", 74, false},
    {1, L"Drop to Floor", 75, false},
    {1, L"Group", 84, false},
    {1, L"Ungroup", 85, false},
    {0, L"Tools", -1, true},
    {1, L"Particle Editor", 80, false},
    {0, L"Help", -1, true},
    {1, L"About", 90, false},
};

// Flattens a menu depth first, in display order.
void Walk(gui::IGUIContextMenu* menu, int depth, std::vector<MenuRow>& rows)
{
	for (u32 i = 0; i < menu->getItemCount(); ++i)
	{
		// All but the placeholder of an empty "Open Recent", and "Undo" and
		// "Redo" with nothing to take back or again.
		const s32 id = menu->getItemCommandId(i);
		EXPECT_EQ((id != -1 || menu->getItemText(i)[0] != L'(') && id != 30 && id != 31,
		          menu->isItemEnabled(i));
		gui::IGUIContextMenu* sub = menu->getSubMenu(i);
		rows.push_back({depth, menu->getItemText(i), menu->getItemCommandId(i), sub != nullptr});
		if (sub)
			Walk(sub, depth + 1, rows);
	}
}
} // namespace

TEST_F(EditorTest, MenuBarMatchesTheMenuTable)
{
	gui::IGUIContextMenu* menu = nullptr;
	for (gui::IGUIElement* child : editor->_gui->getRootGUIElement()->getChildren())
		if (child->getType() == gui::EGUIET_MENU)
			menu = static_cast<gui::IGUIContextMenu*>(child);
	ASSERT_NE(nullptr, menu);
	EXPECT_EQ(-1, menu->getID());
	std::vector<MenuRow> rows;
	Walk(menu, 0, rows);
	ASSERT_EQ(std::size(MenuTree), rows.size());
	for (size_t i = 0; i < rows.size(); ++i)
	{
		SCOPED_TRACE("menu row " + std::to_string(i));
		EXPECT_EQ(MenuTree[i].depth, rows[i].depth);
		EXPECT_STREQ(MenuTree[i].text, rows[i].text);
		EXPECT_EQ(MenuTree[i].command, rows[i].command);
		EXPECT_EQ(MenuTree[i].submenu, rows[i].submenu);
	}
}
