// Particle systems: presets and window values reach the engine's emitter
// and affectors, the ranges bound the live particles, undo, picking, and
// scene files read back by the editor and by a bare engine.
#include "EditorTestSupport.h"

#include <map>
#include <queue>

#include "EditorIds.h"
#include "ParticleSettings.h"

using namespace particles;

namespace
{
scene::IParticleSystemSceneNode* SystemIn(CSceneEditor* editor, int slot)
{
	CModel* object = editor->Model[slot];
	return object && object->MODEL_TYPE == CModel::TYPE_PARTICLES
	           ? static_cast<scene::IParticleSystemSceneNode*>(object->Node)
	           : nullptr;
}

// A node's own attributes as the engine writes them, "name=value" a line.
std::string Attributes(CSceneEditor* editor, scene::ISceneNode* node)
{
	io::IAttributes* a = editor->_device->getFileSystem()->createEmptyAttributes(0);
	node->serializeAttributes(a);
	std::string text;
	for (u32 i = 0; i < a->getAttributeCount(); ++i)
		text += std::string(a->getAttributeName(i)) + "=" +
		        core::stringc(a->getAttributeAsString(i)).c_str() + "\n";
	a->drop();
	return text;
}

core::vector3df Vector(const f32* v, s32 first, f32 scale = 1)
{
	return core::vector3df(v[first], v[first + 1], v[first + 2]) * scale;
}

video::SColor Colour(const f32* v, s32 red)
{
	return video::SColor(u32(v[red + 3]), u32(v[red]), u32(v[red + 1]), u32(v[red + 2]));
}
} // namespace

class ParticleTest : public EditorTest
{
protected:
	gui::IGUISpinBox* spin(s32 value)
	{
		return static_cast<gui::IGUISpinBox*>(FindElement(
		    CSceneEditor::ParticleWindow, gui::EGUIET_SPIN_BOX, ID_PARTICLE_VALUES + value));
	}

	gui::IGUICheckBox* checkBox(s32 value)
	{
		return static_cast<gui::IGUICheckBox*>(FindElement(
		    CSceneEditor::ParticleWindow, gui::EGUIET_CHECK_BOX, ID_PARTICLE_VALUES + value));
	}

	// Types into a spin box as a user does: click, clear, type, leave.
	void typeInto(s32 value, const wchar_t* text)
	{
		click(spin(value)->getEditBox());
		for (int i = 0; i < 8; ++i)
			pressKey(KEY_BACK);
		typeText(text);
		frame();
		editor->_gui->setFocus(0);
		frame();
	}
};

TEST_F(ParticleTest, EveryPresetBuildsTheEmitterAndAffectorsOfItsValues)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_PARTICLE_EDITOR));
	const core::vector3df place(30, 5, -20);
	editor->Positioner->setPosition(place);
	clickButton(ID_PARTICLE_ADD);
	ASSERT_NE(nullptr, SystemIn(editor, 1)) << "\"Add\" places a system in the first slot";
	EXPECT_EQ(editor->Model[1], editor->SelectedModel);
	EXPECT_EQ(1, editor->Model[1]->Node->getID());
	EXPECT_FALSE(editor->SetParticlePreset("Rain"));
	editor->Select(editor->Model[1]); // chosen: the window edits it

	const scene::E_PARTICLE_EMITTER_TYPE types[SHAPE_COUNT] = {
	    scene::EPET_POINT, scene::EPET_BOX, scene::EPET_SPHERE, scene::EPET_CYLINDER,
	    scene::EPET_RING};
	for (const SPreset& preset : Presets)
	{
		SCOPED_TRACE(preset.Name);
		ASSERT_TRUE(editor->SetParticlePreset(preset.Name));
		scene::IParticleSystemSceneNode* node = SystemIn(editor, 1);
		const f32* v = preset.Values;
		scene::IParticleEmitter* e = node->getEmitter();
		EXPECT_EQ(types[s32(v[SHAPE])], e->getType());
		EXPECT_VEC_NEAR(Vector(v, DIRECTION_X, 0.001f), e->getDirection(), 1e-6f);
		EXPECT_EQ(u32(v[RATE_LEAST]), e->getMinParticlesPerSecond());
		EXPECT_EQ(u32(v[RATE_MOST]), e->getMaxParticlesPerSecond());
		EXPECT_EQ(u32(v[LIFE_LEAST]), e->getMinLifeTime());
		EXPECT_EQ(u32(v[LIFE_MOST]), e->getMaxLifeTime());
		EXPECT_EQ(s32(v[ANGLE]), e->getMaxAngleDegrees());
		EXPECT_EQ(Colour(v, DARK_RED), e->getMinStartColor());
		EXPECT_EQ(Colour(v, BRIGHT_RED), e->getMaxStartColor());
		EXPECT_EQ(v[START_SIZE_MOST], e->getMaxStartSize().Height);
		EXPECT_EQ(CModel::engineMaterialType(preset.Material), node->getMaterial(0).MaterialType);

		std::map<scene::E_PARTICLE_AFFECTOR_TYPE, scene::IParticleAffector*> on;
		for (scene::IParticleAffector* a : node->getAffectors())
			on[a->getType()] = a;
		EXPECT_EQ(v[FADE_ON] + v[GRAVITY_ON] + v[SPIN_ON] + v[ATTRACTION_ON] + v[GROW_ON],
		          on.size());
		if (auto* fade = static_cast<scene::IParticleFadeOutAffector*>(on[scene::EPAT_FADE_OUT]))
		{
			EXPECT_EQ(Colour(v, FADE_RED), fade->getTargetColor());
			EXPECT_EQ(u32(v[FADE_TIME]), fade->getFadeOutTime());
		}
		if (auto* gravity = static_cast<scene::IParticleGravityAffector*>(on[scene::EPAT_GRAVITY]))
		{
			EXPECT_VEC_NEAR(Vector(v, GRAVITY_X, 0.001f), gravity->getGravity(), 1e-6f);
			EXPECT_EQ(v[GRAVITY_TIME], gravity->getTimeForceLost());
		}
	}

	// Controls the user changes reach the system at once: a switch, and a
	// number typed past its range, which the spin box holds at the range.
	ASSERT_TRUE(editor->SetParticlePreset("Fire"));
	checkBox(SPIN_ON)->setChecked(true);
	typeInto(RATE_MOST, L"5000");
	typeInto(PIVOT_Y, L"12");
	scene::IParticleSystemSceneNode* node = SystemIn(editor, 1);
	EXPECT_EQ(1000u, node->getEmitter()->getMaxParticlesPerSecond()) << "held at its range";
	EXPECT_EQ(1000.0f, editor->Document.Object(1)->Values[RATE_MOST]);
	auto* spin = static_cast<scene::IParticleRotationAffector*>(*node->getAffectors().getLast());
	ASSERT_EQ(scene::EPAT_ROTATE, spin->getType());
	EXPECT_VEC_NEAR(place + core::vector3df(0, 12, 0), spin->getPivotPoint(), 1e-4f)
	    << "the pivot is given from the system";

	// Moved with the arrow keys, the pivot goes along.
	holdKeys({KEY_UP}, 3);
	frame();
	spin = static_cast<scene::IParticleRotationAffector*>(*node->getAffectors().getLast());
	EXPECT_VEC_NEAR(node->getPosition() + core::vector3df(0, 12, 0), spin->getPivotPoint(), 1e-4f);
}

// The largest settings, least and most either way round, through the
// engine's own emitter at several frame rates and after a stall.
TEST_F(ParticleTest, NoSettingLetsASystemHoldMoreThan20000Particles)
{
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	editor->Select(editor->Model[1]);
	for (bool reversed : {false, true})
	{
		const s32 values[] = {RATE_LEAST, RATE_MOST, LIFE_LEAST, LIFE_MOST};
		const f32 largest[] = {1000, 1000, 10000, 10000}, reversedLargest[] = {1000, 0, 10000, 0};
		for (int i = 0; i < 4; ++i)
			spin(values[i])->setValue(reversed ? reversedLargest[i] : largest[i]);
		frame();
		scene::IParticleEmitter* emitter = SystemIn(editor, 1)->getEmitter();
		for (u32 step : {1u, 3u, 16u, 40u})
		{
			std::priority_queue<u32, std::vector<u32>, std::greater<u32>> ends;
			size_t most = 0;
			u32 now = 1000;
			for (u32 frame = 0; frame < 60000 / step; ++frame)
			{
				// A stall of three seconds a third of the way in.
				const u32 elapsed = frame == 20000 / step ? 3000 : step;
				now += elapsed;
				scene::SParticle* born = 0;
				const s32 count = emitter->emitt(now, elapsed, born);
				for (s32 i = 0; i < count; ++i)
					ends.push(born[i].endTime);
				while (!ends.empty() && now > ends.top())
					ends.pop();
				most = std::max(most, ends.size());
			}
			EXPECT_LE(most, 20000u) << "frames of " << step << " ms";
			EXPECT_GE(most, reversed ? 1000u : 9000u) << "the largest settings hold many";
		}
	}
}

TEST_F(ParticleTest, UndoTakesBackAddingChangingAndRemoving)
{
	const std::string empty = DescribeScene(editor);
	clickButton(ID_PARTICLE_ADD);
	frame();
	const std::string added = DescribeScene(editor);
	editor->Select(editor->Model[1]);
	typeInto(SIZE_X, L"60");
	frame();
	EXPECT_EQ(60.0f, editor->Document.Object(1)->Values[SIZE_X]);
	ASSERT_TRUE(chooseMenu(ID_MENU_REMOVE));
	frame();
	EXPECT_EQ(nullptr, editor->Document.Object(1));

	ASSERT_TRUE(editor->Undo());
	ASSERT_NE(nullptr, SystemIn(editor, 1)) << "the removed system is back";
	EXPECT_EQ(60.0f, editor->Document.Object(1)->Values[SIZE_X]);
	editor->Select(editor->Model[1]);
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(editor->Model[1], editor->SelectedModel) << "a change undone keeps the selection";
	EXPECT_EQ(20.0f, spin(SIZE_X)->getValue()) << "the window shows the value taken back";
	auto* box = static_cast<scene::IParticleBoxEmitter*>(SystemIn(editor, 1)->getEmitter());
	EXPECT_EQ(20.0f, box->getBox().getExtent().X);
	frame();
	EXPECT_EQ(added, DescribeScene(editor));
	ASSERT_TRUE(editor->Undo());
	EXPECT_EQ(nullptr, SystemIn(editor, 1));
	EXPECT_EQ(empty, DescribeScene(editor));
	ASSERT_TRUE(editor->Redo());
	EXPECT_NE(nullptr, SystemIn(editor, 1));
}

TEST_F(ParticleTest, AClickOnTheEmittersBoxSelectsTheSystem)
{
	// A point emitter is picked by a box of its particles' size.
	ASSERT_TRUE(editor->CreateNewModel(MediaFile("sydney.md2").c_str()));
	editor->Positioner->setPosition(core::vector3df(0, 20, 60));
	ASSERT_TRUE(editor->SetParticlePreset("Fountain"));
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	editor->Select(editor->Model[1]);
	frame();
	editor->CameraMode = false;
	const core::position2d<s32> at =
	    editor->_smgr->getSceneCollisionManager()->getScreenCoordinatesFrom3DPosition(
	        core::vector3df(0, 20, 60), editor->Camera);
	clickAt(at.X, at.Y);
	EXPECT_EQ(editor->Model[2], editor->SelectedModel);
	EXPECT_TRUE(editor->CameraMode);
}

// The editor reads its own file back exactly; a bare engine's loadScene
// rebuilds each system with its emitter, every affector, texture and
// material. (Its reader takes affectors' values by name: a system with
// both rotation and attraction would read the rotation's speed wrongly.)
TEST_F(ParticleTest, ScenesKeepTheSystemsForTheEditorAndForAGame)
{
	const std::string fire = MediaFile("fire.bmp");
	editor->Positioner->setPosition(core::vector3df(10, 0, 0));
	ASSERT_TRUE(editor->LoadParticleTexture(fire.c_str()));
	spin(SPIN_Y)->setValue(90);
	checkBox(SPIN_ON)->setChecked(true);
	checkBox(GROW_ON)->setChecked(true);
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	frame();
	editor->Positioner->setPosition(core::vector3df(-40, 10, 5));
	ASSERT_TRUE(editor->SetParticlePreset("Smoke"));
	checkBox(ATTRACTION_ON)->setChecked(true);
	ASSERT_TRUE(editor->CreateNewParticleSystem());
	frame();
	editor->Select(nullptr);
	const SSceneState before = editor->Document.State();
	const std::string expected[2] = {Attributes(editor, editor->Model[1]->Node),
	                                 Attributes(editor, editor->Model[2]->Node)};
	const std::string file = ScratchDir() + "/particles.irr";
	ASSERT_TRUE(editor->SaveScene(file.c_str()));
	dismissMessages();

	scene::ISceneManager* game = editor->_smgr->createNewSceneManager(false);
	ASSERT_TRUE(game->loadScene(file.c_str()));
	for (int slot : {1, 2})
	{
		scene::ISceneNode* node = game->getSceneNodeFromId(slot);
		ASSERT_NE(nullptr, node) << slot;
		EXPECT_EQ(scene::ESNT_PARTICLE_SYSTEM, node->getType());
		EXPECT_EQ(expected[slot - 1], Attributes(editor, node)) << slot;
		EXPECT_EQ(editor->Model[slot]->Node->getMaterial(0).MaterialType,
		          node->getMaterial(0).MaterialType);
	}
	EXPECT_NE(nullptr, game->getSceneNodeFromId(1)->getMaterial(0).getTexture(0));
	game->drop();

	editor->ClearScene();
	frame();
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	dismissMessages();
	frame();
	EXPECT_TRUE(before == editor->Document.State());
	EXPECT_EQ(expected[0], Attributes(editor, editor->Model[1]->Node));
	EXPECT_EQ(expected[1], Attributes(editor, editor->Model[2]->Node));
}

// A preset chosen right after "Add" is for the next system; a system chosen
// in "Scene Objects" is the one the window edits. The list names each system
// by its preset, or by its texture once it differs from every preset.
TEST_F(ParticleTest, APresetReachesOnlyTheSystemTheWindowEdits)
{
	ASSERT_TRUE(chooseMenu(ID_MENU_PARTICLE_EDITOR));
	clickButton(ID_PARTICLE_ADD);
	ASSERT_TRUE(editor->SetParticlePreset("Smoke"));
	frame();
	clickButton(ID_PARTICLE_ADD);
	ASSERT_TRUE(chooseMenu(ID_MENU_SCENE_OBJECTS)); // in front of the editor
	frame();
	gui::IGUIListBox* list = editor->ObjectList.List;
	const gui::IGUIElement* target =
	    FindElement(CSceneEditor::ParticleWindow, gui::EGUIET_STATIC_TEXT, ID_PARTICLE_TARGET);
	ASSERT_EQ(2u, list->getItemCount());
	EXPECT_STREQ(L"1  fire particles", list->getListItem(0)) << "the fire just added stays";
	EXPECT_STREQ(L"2  smoke particles", list->getListItem(1));
	EXPECT_STREQ(L"Editing: settings for \"Add\"", target->getText());

	const core::rect<s32> area = list->getAbsolutePosition();
	clickAt(area.UpperLeftCorner.X + 10, area.UpperLeftCorner.Y + 5);
	EXPECT_STREQ(L"Editing: 1  fire particles", target->getText());
	ASSERT_TRUE(editor->SetParticlePreset("Snow"));
	frame();
	EXPECT_STREQ(L"1  snow particles", list->getListItem(0));
	EXPECT_STREQ(L"2  smoke particles", list->getListItem(1));

	ASSERT_TRUE(editor->LoadParticleTexture(MediaFile("particlered.bmp").c_str()));
	spin(SIZE_X)->setValue(77);
	frame();
	EXPECT_STREQ(L"1  particlered particles", list->getListItem(0));
}
