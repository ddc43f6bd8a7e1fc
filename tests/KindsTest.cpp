// The kinds built from their values alone (lights, billboards, cubes,
// spheres, cameras, sky domes): each goes through the same life as a model,
// from the "Add" menu to the export.
#include "EditorTestSupport.h"

#include <algorithm>
#include <sys/stat.h>

#include "EditorIds.h"
#include "ObjectKinds.h"
#include "Recovery.h"

namespace
{
struct SKindRow
{
	s32 Menu, Type;
	scene::ESCENE_NODE_TYPE Node;
	//! A value of the kind and what the test sets it to.
	const char* Value;
	f32 Edited;
	//! What the export calls to rebuild it.
	const char* Built;
};

const SKindRow KindRows[] = {
    {ID_MENU_ADD_LIGHT, CModel::TYPE_LIGHT, scene::ESNT_LIGHT, "OuterCone", 30,
     "addLightSceneNode"},
    {ID_MENU_ADD_BILLBOARD, CModel::TYPE_BILLBOARD, scene::ESNT_BILLBOARD, "Width", 24,
     "addBillboardSceneNode"},
    {ID_MENU_ADD_CUBE, CModel::TYPE_CUBE, scene::ESNT_CUBE, "Size", 30, "addCubeSceneNode"},
    {ID_MENU_ADD_SPHERE, CModel::TYPE_SPHERE, scene::ESNT_SPHERE, "PolyCount", 9,
     "addSphereSceneNode"},
    {ID_MENU_ADD_CAMERA, CModel::TYPE_CAMERA, scene::ESNT_CAMERA, "FieldOfView", 50,
     "addCameraSceneNode"},
    {ID_MENU_ADD_SKY_DOME, CModel::TYPE_SKYDOME, scene::ESNT_SKY_DOME, "Radius", 500,
     "addSkyDomeSceneNode"},
};

u32 ValueIndex(const SObjectKind& kind, const char* name)
{
	for (u32 i = 0; i < kind.ValueCount; ++i)
		if (std::string(kind.ValueNames[i]) == name)
			return i;
	return kind.ValueCount;
}

size_t Occurrences(const std::string& text, const std::string& part)
{
	size_t count = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
		++count;
	return count;
}
} // namespace

class KindsTest : public EditorTest
{
protected:
	scene::ISceneNode* nodeAt(int slot) { return ObjectNode(editor->ObjectAt(slot)); }

	// The node as the engine writes it: every attribute but its materials.
	std::string attributes(scene::ISceneNode* node)
	{
		io::IAttributes* list = editor->_device->getFileSystem()->createEmptyAttributes();
		node->serializeAttributes(list);
		std::string text;
		for (u32 i = 0; i < list->getAttributeCount(); ++i)
			text += std::string(list->getAttributeName(i)) + "=" +
			        core::stringc(list->getAttributeAsString(i)).c_str() + ";";
		list->drop();
		return text;
	}
};

TEST_F(KindsTest, EachKindIsAddedEditedUndoneSavedOpenedRecoveredAndExported)
{
	const std::string folder = ScratchDir() + "/kinds";
	mkdir(folder.c_str(), 0755);
	for (const SKindRow& row : KindRows)
	{
		const SObjectKind& kind = *KindOf(row.Type);
		SCOPED_TRACE(core::stringc(kind.Name).c_str());
		editor->ClearScene();
		dismissMessages();
		const core::vector3df marker(10, 5, 20);
		editor->Positioner->setPosition(marker);
		frame();

		// Added at the marker through the menu, selected, one undo step.
		ASSERT_TRUE(chooseMenu(row.Menu));
		const int slot = editor->SlotOf(editor->SelectedModel);
		ASSERT_GT(slot, 0);
		ASSERT_NE(nullptr, nodeAt(slot));
		EXPECT_EQ(row.Node, nodeAt(slot)->getType());
		EXPECT_EQ(slot, nodeAt(slot)->getID());
		EXPECT_TRUE(VecNear(marker, nodeAt(slot)->getPosition(), 1e-4f));
		EXPECT_EQ(L"Undo Add " + std::wstring(kind.Name), editor->EditMenu->getItemText(0));
		const std::string added = attributes(nodeAt(slot));

		// A value edited reaches the node (built anew where it must be);
		// undo takes it back, redo brings it again.
		const u32 value = ValueIndex(kind, row.Value);
		ASSERT_LT(value, kind.ValueCount);
		ASSERT_TRUE(editor->EditSelected([&](SModelState& r) { r.Values[value] = row.Edited; }));
		const std::string edited = attributes(nodeAt(slot));
		EXPECT_NE(added, edited);
		ASSERT_TRUE(editor->Undo());
		EXPECT_EQ(added, attributes(nodeAt(slot)));
		ASSERT_TRUE(editor->Redo());
		EXPECT_EQ(edited, attributes(nodeAt(slot)));

		// Duplicated one grid step along X, and deleted (a sky dome is one a
		// scene).
		if (row.Type != CModel::TYPE_SKYDOME)
		{
			ASSERT_TRUE(editor->DuplicateSelected());
			const int copy = editor->SlotOf(editor->SelectedModel);
			ASSERT_NE(slot, copy);
			EXPECT_EQ(row.Type, editor->Document.Object(copy)->Type);
			EXPECT_EQ(edited.substr(edited.find("Rotation")),
			          attributes(nodeAt(copy)).substr(attributes(nodeAt(copy)).find("Rotation")));
			postKey(KEY_DELETE, true);
			postKey(KEY_DELETE, false);
			EXPECT_EQ(nullptr, nodeAt(copy));
			editor->Select(editor->ObjectAt(slot));
		}

		// Saved as the engine's own node, which a bare loadScene rebuilds;
		// the editor's icon stays out of the file.
		const std::string file = folder + "/kind" + std::to_string(row.Type) + ".irr";
		ASSERT_TRUE(editor->SaveScene(file.c_str()));
		std::string text = ReadFile(file);
		text.erase(std::remove(text.begin(), text.end(), '\0'), text.end()); // wide to ASCII
		const std::string type = editor->_smgr->getSceneNodeTypeName(row.Node);
		EXPECT_NE(std::string::npos, text.find("type=\"" + type + "\""));
		if (row.Node != scene::ESNT_BILLBOARD)
		{
			EXPECT_EQ(0u, Occurrences(text, "type=\"billBoard\"")) << "no icon in the file";
		}
		scene::ISceneManager* bare = editor->_smgr->createNewSceneManager(false);
		ASSERT_TRUE(bare->loadScene(file.c_str()));
		EXPECT_EQ(1, CountNodes(bare, row.Node));
		bare->drop();

		// Kept by the recovery file as the document holds it.
		ASSERT_TRUE(editor->WriteRecovery());
		SRecoveredScene kept;
		ASSERT_TRUE(CRecovery::Read(editor->RecoveryFile(), kept));
		ASSERT_NE(nullptr, kept.State.Models[slot]);
		EXPECT_TRUE(*kept.State.Models[slot] == *editor->Document.Object(slot));

		// Opened again: the same object in the same slot.
		editor->ClearScene();
		ASSERT_EQ(nullptr, nodeAt(slot));
		ASSERT_TRUE(editor->Files.Open(file.c_str()));
		dismissMessages();
		ASSERT_NE(nullptr, nodeAt(slot));
		EXPECT_EQ(row.Edited, editor->Document.Object(slot)->Values[value]);
		EXPECT_EQ(edited, attributes(nodeAt(slot)));

		// Exported after the models, in its slot.
		editor->sow_editboxDir->setText(core::stringw((folder + "/").c_str()).c_str());
		clickButton(ID_SAVE_OPTIONS_OK);
		EXPECT_EQ(L"Saved!: Level data saved!", answer());
		const std::string source = ReadFile(folder + "/Level.cpp");
		EXPECT_NE(std::string::npos, source.find(row.Built));
		EXPECT_NE(std::string::npos, source.find("Model[" + std::to_string(slot) + "] = "));
	}
}

TEST_F(KindsTest, LightsAndCamerasArePickedByTheirIconAndShowTheirRangeWhenSelected)
{
	editor->Positioner->setPosition(core::vector3df(0, 0, 0));
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_LIGHT));
	CModel* light = editor->SelectedModel;
	editor->Positioner->setPosition(core::vector3df(0, 40, 0));
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_CAMERA));
	CModel* camera = editor->SelectedModel;
	for (CModel* object : {light, camera})
	{
		editor->Select(nullptr);
		editor->CameraMode = false;
		frame();
		object->Node->updateAbsolutePosition();
		const core::position2d<s32> at =
		    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
		        object->Node->getAbsolutePosition());
		clickAt(at.X, at.Y);
		frame();
		EXPECT_EQ(object, editor->SelectedModel);
	}
	editor->Select(light);
	frame();
	EXPECT_TRUE(light->Node->isDebugDataVisible()) << "the engine draws the light's range";
}

TEST_F(KindsTest, OneCameraIsActiveAndOneSkyIsShown)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_CAMERA));
	const int first = editor->SlotOf(editor->SelectedModel);
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_CAMERA));
	const int second = editor->SlotOf(editor->SelectedModel);
	const u32 active = ValueIndex(*KindOf(CModel::TYPE_CAMERA), "Active");
	const auto activate = [&](int slot)
	{
		editor->Select(editor->ObjectAt(slot));
		return editor->EditSelected([&](SModelState& r) { r.Values[active] = 1; });
	};
	ASSERT_TRUE(activate(first));
	ASSERT_TRUE(editor->DuplicateSelected());
	EXPECT_EQ(1, editor->Document.Object(first)->Values[active]) << "a copy is not active";
	ASSERT_TRUE(editor->Undo());
	ASSERT_TRUE(activate(second));
	EXPECT_EQ(0, editor->Document.Object(first)->Values[active]);
	EXPECT_EQ(1, editor->Document.Object(second)->Values[active]);
	ASSERT_TRUE(editor->Undo()) << "one step made the second active and the first not";
	EXPECT_EQ(1, editor->Document.Object(first)->Values[active]);
	EXPECT_EQ(0, editor->Document.Object(second)->Values[active]);
	EXPECT_NE(editor->ObjectAt(first)->Node, editor->_smgr->getActiveCamera())
	    << "the editor draws through its own camera";

	// A sky dome takes the sky box's place and the other way round.
	ASSERT_TRUE(LoadSampleSkyBox(editor));
	frame();
	ASSERT_TRUE(chooseMenu(ID_MENU_ADD_SKY_DOME));
	const int dome = editor->SlotOf(editor->SelectedModel);
	EXPECT_EQ(nullptr, editor->SkyBox);
	EXPECT_TRUE(editor->Document.World().Sky.empty());
	ASSERT_TRUE(editor->Undo());
	EXPECT_NE(nullptr, editor->SkyBox);
	EXPECT_EQ(nullptr, nodeAt(dome));
	ASSERT_TRUE(editor->Redo());
	ASSERT_NE(nullptr, nodeAt(dome));
	ASSERT_TRUE(LoadSampleSkyBox(editor));
	frame();
	EXPECT_NE(nullptr, editor->SkyBox);
	EXPECT_EQ(nullptr, nodeAt(dome));
	EXPECT_EQ(nullptr, editor->Document.Object(dome));
}
