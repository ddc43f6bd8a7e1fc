// "View", "Properties": every kind laid out from its description, typed and
// clicked changes as undo steps, refusals, and the window following the
// document.
#include "EditorTestSupport.h"

#include "EditorIds.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"
#include "TransformWindow.h"

#include <set>

namespace
{
const s32 WINDOW = 730, CAPTION = 731, FIRST_VALUE = 740;

class PropertiesTest : public EditorTest
{
protected:
	void SetUp() override
	{
		EditorTest::SetUp();
		ASSERT_TRUE(chooseMenu(ID_MENU_PROPERTIES));
		window = FindElement(editor->_gui->getRootGUIElement(), gui::EGUIET_WINDOW, WINDOW);
		ASSERT_NE(nullptr, window);
		ASSERT_TRUE(window->isVisible());
	}

	gui::IGUIElement* control(gui::EGUI_ELEMENT_TYPE type, s32 id)
	{
		return FindElement(window, type, id);
	}
	gui::IGUIElement* valueBox(u32 value)
	{
		return control(gui::EGUIET_EDIT_BOX, FIRST_VALUE + static_cast<s32>(value));
	}
	std::wstring caption() { return control(gui::EGUIET_STATIC_TEXT, CAPTION)->getText(); }

	// Moves the scroll bar as its drag does.
	void scrollTo(s32 position)
	{
		gui::IGUIScrollBar* bar = editor->Properties.RowsBar;
		bar->setPos(position);
		SEvent moved{};
		moved.EventType = EET_GUI_EVENT;
		moved.GUIEvent.EventType = gui::EGET_SCROLL_BAR_CHANGED;
		moved.GUIEvent.Caller = bar;
		bar->OnEvent(moved);
	}

	// Types into a box as a user does: scroll it into view, click, clear,
	// type, Return.
	void typeInto(gui::IGUIElement* box, const wchar_t* text)
	{
		ASSERT_NE(nullptr, box);
		for (s32 row = 0; !box->isVisible() && row <= editor->Properties.RowsBar->getMax(); ++row)
			scrollTo(row);
		click(box);
		pressKey(KEY_END);
		for (int i = 0; i < 12; ++i)
			pressKey(KEY_BACK);
		typeText(text);
		frame();
		pressKey(KEY_RETURN, L'\r');
		frame();
	}

	f32 value(int slot, u32 i) { return editor->Document.Object(slot)->Values.at(i); }

	gui::IGUIElement* window = nullptr;
};

struct KindRow
{
	const char* name;
	std::function<bool(CSceneEditor*)> add;
	const wchar_t* caption;
	//! Parent (but for the water), material, flags, two textures and (for a
	//! mesh) the mesh file.
	u32 sharedRows;
};
} // namespace

TEST_F(PropertiesTest, EachKindIsLaidOutFromItsDescription)
{
	EXPECT_EQ(L"No object selected", caption());
	EXPECT_EQ(0u, editor->Properties.RowCount());
	const KindRow kinds[] = {
	    {"model", [](CSceneEditor* e) { return e->CreateNewModel("samples/crate.obj"); },
	     L"Model in slot 1", 1 + 1 + 4 + 2 + 1},
	    {"water", [](CSceneEditor* e) { return e->CreateNewWater(); }, L"Water", 1 + 3 + 2},
	    {"particles", [](CSceneEditor* e) { return e->CreateNewParticleSystem(); },
	     L"Particle system in slot 2", 1 + 1 + 3 + 2},
	};
	for (const KindRow& row : kinds)
	{
		SCOPED_TRACE(row.name);
		ASSERT_TRUE(row.add(editor));
		frame();
		EXPECT_EQ(row.caption, caption());
		const SObjectKind& kind = *KindOf(editor->SelectedModel->MODEL_TYPE);
		u32 valueRows = 0;
		for (u32 i = 0; i < kind.ValueCount; ++i, ++valueRows)
		{
			SCOPED_TRACE("value " + std::to_string(i));
			const EValueShape shape = kind.ValueShapes ? kind.ValueShapes[i].Shape : VALUE_NUMBER;
			const s32 id = FIRST_VALUE + static_cast<s32>(i);
			const f32 least = kind.LeastValues[i], most = kind.MostValues[i];
			switch (shape)
			{
			case VALUE_NUMBER:
			case VALUE_WHOLE:
				ASSERT_NE(nullptr, valueBox(i));
				EXPECT_STREQ(ShownNumber(KindValue(kind, *editor->SelectedModel, i)).c_str(),
				             valueBox(i)->getText());
				break;
			case VALUE_CHECK:
				EXPECT_EQ(0, least);
				EXPECT_EQ(1, most);
				ASSERT_NE(nullptr, control(gui::EGUIET_CHECK_BOX, id));
				break;
			case VALUE_CHOICE:
			{
				auto* list = static_cast<gui::IGUIComboBox*>(control(gui::EGUIET_COMBO_BOX, id));
				ASSERT_NE(nullptr, list);
				EXPECT_EQ(0, least);
				EXPECT_EQ(most + 1, static_cast<f32>(list->getItemCount()));
				break;
			}
			case VALUE_COLOUR:
				for (u32 c = i; c < i + 3; ++c)
				{
					EXPECT_EQ(0, kind.LeastValues[c]);
					EXPECT_EQ(255, kind.MostValues[c]);
					EXPECT_NE(nullptr, valueBox(c)) << "channel " << c;
				}
				i += 2;
				break;
			}
		}
		EXPECT_EQ(row.sharedRows + valueRows, editor->Properties.RowCount());
	}

	// The particle system's rows do not fit: they scroll, the last one into view.
	gui::IGUIScrollBar* bar = editor->Properties.RowsBar;
	ASSERT_TRUE(bar->isVisible());
	EXPECT_EQ(s32(editor->Properties.RowCount() - editor->Properties.VisibleRows()), bar->getMax());
	gui::IGUIElement* last = valueBox(particles::GROW_BY);
	EXPECT_FALSE(last->isVisible());
	// The wheel over the window scrolls it (past the end: to the end).
	SEvent wheel{};
	wheel.EventType = EET_MOUSE_INPUT_EVENT;
	wheel.MouseInput.Event = EMIE_MOUSE_WHEEL;
	wheel.MouseInput.Wheel = -100;
	wheel.MouseInput.X = window->getAbsolutePosition().getCenter().X;
	wheel.MouseInput.Y = window->getAbsolutePosition().getCenter().Y;
	editor->_device->postEventFromUser(wheel);
	EXPECT_EQ(bar->getMax(), bar->getPos());
	EXPECT_TRUE(last->isVisible());
	EXPECT_TRUE(window->getAbsolutePosition().isRectCollided(last->getAbsolutePosition()));
	EXPECT_FALSE(control(gui::EGUIET_COMBO_BOX, ID_PROPERTIES_MATERIAL)->isVisible());
}

TEST_F(PropertiesTest, TypedValueIsOneStepAndTheWindowFollowsUndoAndSelection)
{
	ASSERT_TRUE(editor->CreateNewWater());
	ASSERT_TRUE(editor->CreateNewModel("samples/crate.obj"));
	editor->Select(editor->Water);
	frame();
	EXPECT_STREQ(L"3", valueBox(0)->getText());

	typeInto(valueBox(0), L"7,5");
	EXPECT_EQ(7.5f, value(WATER_SLOT, 0));
	EXPECT_EQ(7.5f, editor->Water->water_WaveHeight) << "the surface follows";
	EXPECT_STREQ(L"7.5", valueBox(0)->getText());
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(3.0f, value(WATER_SLOT, 0)) << "the whole typed value is one step";
	EXPECT_STREQ(L"3", valueBox(0)->getText()) << "the window follows undo";
	for (int i = 0; i < 3; ++i)
		frame();
	ASSERT_TRUE(editor->Redo()) << "the window wrote nothing back";
	frame();
	EXPECT_STREQ(L"7.5", valueBox(0)->getText());

	// A change from elsewhere reaches the box.
	ASSERT_TRUE(editor->EditSelected([](SModelState& r) { r.Values[2] = 450; }));
	frame();
	EXPECT_STREQ(L"450", valueBox(2)->getText());

	// A flag clicked is one step of its own, and the other selection's rows
	// replace these.
	editor->Select(editor->Model[1]);
	frame();
	EXPECT_EQ(L"Model in slot 1", caption());
	EXPECT_EQ(nullptr, valueBox(0)) << "a model has no values of its own";
	click(control(gui::EGUIET_CHECK_BOX, ID_PROPERTIES_WIREFRAME));
	frame();
	EXPECT_TRUE(editor->Document.Object(1)->Wireframe);
	EXPECT_TRUE(editor->Model[1]->Wireframe);
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_FALSE(editor->Document.Object(1)->Wireframe);
	EXPECT_FALSE(
	    static_cast<gui::IGUICheckBox*>(control(gui::EGUIET_CHECK_BOX, ID_PROPERTIES_WIREFRAME))
	        ->isChecked());
	EXPECT_EQ(7.5f, value(WATER_SLOT, 0)) << "undo took back the flag only";

	// An entry chosen in a list is a step too.
	gui::IGUIElement* material = control(gui::EGUIET_COMBO_BOX, ID_PROPERTIES_MATERIAL);
	click(material);
	auto* entries = static_cast<gui::IGUIListBox*>(FindElement(material, gui::EGUIET_LIST_BOX));
	ASSERT_NE(nullptr, entries) << "the list opens";
	const core::rect<s32> area = entries->getAbsolutePosition();
	s32 y = area.UpperLeftCorner.Y;
	while (y < area.LowerRightCorner.Y && entries->getItemAt(area.getCenter().X, y) != 1)
		++y;
	clickAt(area.getCenter().X, y + 2);
	frame();
	EXPECT_EQ(1, editor->Document.Object(1)->Material);
	EXPECT_EQ(CModel::engineMaterialType(1),
	          editor->Model[1]->AnimatedNode->getMaterial(0).MaterialType);
	ASSERT_TRUE(editor->Undo());
	frame();
	EXPECT_EQ(0, editor->Document.Object(1)->Material);
	EXPECT_EQ(0, static_cast<gui::IGUIComboBox*>(material)->getSelected());

	editor->Select(nullptr);
	frame();
	EXPECT_EQ(L"No object selected", caption());
	EXPECT_EQ(0u, editor->Properties.RowCount());
}

TEST_F(PropertiesTest, NoNumberAndValuesOutOfRangeAreRefusedWithAMessage)
{
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	frame();
	const int slot = editor->SlotOf(editor->SelectedModel);
	struct Case
	{
		u32 value;
		const wchar_t* typed;
		const wchar_t* message;
	};
	const Case cases[] = {
	    {particles::SIZE_X, L"abc",
	     L"Properties: \"abc\" is no number. Width or radius takes a number from 0 to 1000."},
	    {particles::SIZE_X, L"1001",
	     L"Properties: Width or radius takes a number from 0 to 1000, not 1001."},
	    {particles::RATE_MOST, L"2.5",
	     L"Properties: Most a second takes a whole number from 0 to 1000, not 2.5."},
	    {particles::DARK_GREEN, L"-1",
	     L"Properties: Darkest colour green takes a whole number from 0 to 255, not -1."},
	};
	for (const Case& c : cases)
	{
		SCOPED_TRACE(std::to_string(c.value));
		const f32 before = value(slot, c.value);
		const std::wstring undo = editor->EditMenu->getItemText(0);
		typeInto(valueBox(c.value), c.typed);
		EXPECT_EQ(c.message, answer());
		EXPECT_EQ(before, value(slot, c.value));
		EXPECT_STREQ(ShownNumber(before).c_str(), valueBox(c.value)->getText());
		EXPECT_EQ(undo, editor->EditMenu->getItemText(0)) << "no step taken";
	}
	// A value in range goes through.
	typeInto(valueBox(particles::DARK_GREEN), L"17");
	EXPECT_EQ(17.0f, value(slot, particles::DARK_GREEN));
	EXPECT_TRUE(messages().empty());
}

TEST_F(PropertiesTest, EveryKindReadsWholeAndItsParentEntriesTellObjectsApart)
{
	gui::IGUIFont* font = editor->_gui->getSkin()->getFont();
	const auto atMarker = [](s32 type)
	{ return [type](CSceneEditor* e) { return e->AddAtMarker(type); }; };
	const std::function<bool(CSceneEditor*)> adders[] = {
	    [](CSceneEditor* e) { return e->CreateNewModel("samples/crate.obj"); },
	    [](CSceneEditor* e) { return e->CreateNewWater(); },
	    [](CSceneEditor* e) { return e->CreateNewParticleSystem(); },
	    [](CSceneEditor* e) { return e->CreateNewEmpty(); },
	    atMarker(CModel::TYPE_LIGHT),
	    atMarker(CModel::TYPE_BILLBOARD),
	    atMarker(CModel::TYPE_CUBE),
	    atMarker(CModel::TYPE_SPHERE),
	    atMarker(CModel::TYPE_CAMERA),
	    atMarker(CModel::TYPE_SKYDOME),
	    atMarker(CModel::TYPE_BILLBOARD),
	};
	for (const auto& add : adders)
	{
		ASSERT_TRUE(add(editor));
		frame();
		SCOPED_TRACE(caption());
		for (gui::IGUIElement* child : window->getChildren())
			if (child->getType() == gui::EGUIET_STATIC_TEXT)
			{
				EXPECT_LE(static_cast<s32>(font->getDimension(child->getText()).Width),
				          child->getAbsolutePosition().getWidth())
				    << core::stringc(child->getText()).c_str();
			}
	}

	// Two billboards of the same name (as another tool's unnamed nodes
	// open): the cube's Parent list still offers each as its own entry.
	ASSERT_TRUE(editor->RenameObject(10, editor->Document.Object(5)->Name));
	editor->Select(editor->ObjectAt(6));
	frame();
	ASSERT_EQ(L"Cube in slot 6", caption());
	auto* parents =
	    static_cast<gui::IGUIComboBox*>(control(gui::EGUIET_COMBO_BOX, ID_PROPERTIES_PARENT));
	ASSERT_NE(nullptr, parents);
	std::set<std::wstring> entries;
	for (u32 i = 0; i < parents->getItemCount(); ++i)
		EXPECT_TRUE(entries.insert(parents->getItem(i)).second)
		    << core::stringc(parents->getItem(i)).c_str();
	EXPECT_EQ(10u, parents->getItemCount()) << "(none) and the nine others";
}
