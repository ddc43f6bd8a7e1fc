// Scenes other tools made open whole and are saved again losing nothing a
// game's bare loadScene finds in them.
#include "EditorTestSupport.h"

#include "CSceneEditor.h"
#include "ObjectKinds.h"

#include <cstdlib>
#include <functional>
#include <sstream>

namespace
{
std::string BaseName(const io::path& path)
{
	const std::string text = path.c_str();
	return text.substr(text.find_last_of('/') + 1);
}

// The node's own attributes, past those every node has (its transform is
// compared in the world).
std::string KindAttributes(irr::IrrlichtDevice* device, scene::ISceneNode* node)
{
	io::IAttributes* attributes = device->getFileSystem()->createEmptyAttributes(0);
	node->serializeAttributes(attributes);
	std::string text;
	for (u32 i = 0; i < attributes->getAttributeCount(); ++i)
	{
		const std::string name = attributes->getAttributeName(i);
		if (name != "Name" && name != "Id" && name != "Position" && name != "Rotation" &&
		    name != "Scale" && name != "AutomaticCulling" && name != "DebugDataVisible" &&
		    name != "IsDebugObject" && name != "Mesh")
			text += " " + name + "=" + attributes->getAttributeAsString(i).c_str();
	}
	attributes->drop();
	return text;
}

// Every material's settings but its textures (compared by name above).
std::string MaterialSettings(irr::IrrlichtDevice* device, scene::ISceneNode* node)
{
	std::string text;
	for (u32 m = 0; m < node->getMaterialCount(); ++m)
	{
		io::IAttributes* attributes =
		    device->getVideoDriver()->createAttributesFromMaterial(node->getMaterial(m));
		text += " |";
		for (u32 i = 0; i < attributes->getAttributeCount(); ++i)
			if (attributes->getAttributeType(i) != io::EAT_TEXTURE)
				text += std::string(" ") + attributes->getAttributeName(i) + "=" +
				        attributes->getAttributeAsString(i).c_str();
		attributes->drop();
	}
	return text;
}

// Every node a bare engine loads from the file, one line each: type, name,
// id, parent, world position, animators and textures. The editor's state
// node stands for the top.
std::vector<std::string> BareLoad(irr::IrrlichtDevice* device, const std::string& file)
{
	scene::ISceneManager* smgr = device->getSceneManager()->createNewSceneManager(false);
	EXPECT_TRUE(smgr->loadScene(file.c_str()));
	std::vector<std::string> lines;
	const std::function<void(scene::ISceneNode*, const std::string&)> walk =
	    [&](scene::ISceneNode* node, const std::string& parent)
	{
		for (scene::ISceneNode* child : node->getChildren())
		{
			if (std::string(child->getName()) == "Tolvane editor state")
			{
				walk(child, parent);
				continue;
			}
			child->updateAbsolutePosition();
			const core::vector3df at = child->getAbsolutePosition();
			std::ostringstream line;
			line << smgr->getSceneNodeTypeName(child->getType()) << " '" << child->getName()
			     << "' id " << child->getID() << " in " << parent << " at "
			     << std::lround(at.X * 100) << "," << std::lround(at.Y * 100) << ","
			     << std::lround(at.Z * 100) << " animators " << child->getAnimators().size();
			for (u32 m = 0; m < child->getMaterialCount(); ++m)
				if (video::ITexture* texture = child->getMaterial(m).getTexture(0))
					line << " " << BaseName(texture->getName().getPath());
			line << KindAttributes(device, child) << MaterialSettings(device, child);
			lines.push_back(line.str());
			walk(child, "'" + std::string(child->getName()) + "'");
		}
	};
	walk(smgr->getRootSceneNode(), "top");
	smgr->drop();
	return lines;
}

// A plain mesh node's line as the animated mesh node the editor saves: the
// same attributes and the engine's animation of a mesh it could not load.
std::string AsAnimatedMesh(const std::string& line)
{
	std::string animated = "animatedMesh " + line.substr(5);
	const size_t materials = animated.find(" ReadOnlyMaterials=");
	if (materials != std::string::npos)
		animated.insert(materials, " Looping=true");
	return animated + " FramesPerSecond=0.025000 StartFrame=0 EndFrame=0";
}

class ForeignSceneTest : public EditorTest
{
protected:
	// Opens the scene, saves it beside itself and compares what a bare
	// engine loads from both.
	void expectRoundTrip(const std::string& file)
	{
		// The editor holds every model as an animated mesh node.
		std::vector<std::string> before = BareLoad(editor->_device, file);
		for (std::string& line : before)
			if (line.compare(0, 5, "mesh ") == 0)
				line = AsAnimatedMesh(line);
		ASSERT_TRUE(editor->OpenScene(file.c_str()));
		dismissMessages();
		const std::string saved = file.substr(0, file.size() - 4) + "-saved.irr";
		ASSERT_TRUE(editor->SaveScene(saved.c_str()));
		dismissMessages();
		const std::vector<std::string> after = BareLoad(editor->_device, saved);
		EXPECT_EQ(before, after);
		// Opened again from the editor's own file, it is saved the same.
		ASSERT_TRUE(editor->OpenScene(saved.c_str()));
		dismissMessages();
		const std::string again = file.substr(0, file.size() - 4) + "-again.irr";
		ASSERT_TRUE(editor->SaveScene(again.c_str()));
		dismissMessages();
		EXPECT_EQ(before, BareLoad(editor->_device, again));
	}
};
} // namespace

TEST_F(ForeignSceneTest, TheEnginesExampleSceneSurvivesOpenAndSave)
{
	const std::string dir = ScratchDir() + "/example-whole";
	std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
	for (const char* media : {"room.3ds", "wall.jpg", "rockwall.jpg", "particlewhite.bmp",
	                          "particlered.bmp", "example.irr"})
		std::system(("cp '" + MediaFile(media) + "' '" + dir + "/'").c_str());
	expectRoundTrip(dir + "/example.irr");
}

TEST_F(ForeignSceneTest, ASceneOfEveryKindTheEngineSavesSurvivesOpenAndSave)
{
	const std::string dir = ScratchDir() + "/every-kind";
	std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
	for (const char* media : {"room.3ds", "wall.jpg", "particlewhite.bmp"})
		std::system(("cp '" + MediaFile(media) + "' '" + dir + "/'").c_str());
	scene::ISceneManager* smgr = editor->_smgr->createNewSceneManager(false);
	video::IVideoDriver* driver = smgr->getVideoDriver();
	video::ITexture* wall = driver->getTexture((dir + "/wall.jpg").c_str());
	scene::ISceneNode* group = smgr->addEmptySceneNode(0, 10);
	group->setName("group");
	group->setPosition(core::vector3df(5, 0, 0));
	scene::ISceneNode* room = smgr->addAnimatedMeshSceneNode(
	    smgr->getMesh((dir + "/room.3ds").c_str()), group, 11, core::vector3df(1, 2, 3));
	room->setName("room");
	room->setMaterialTexture(0, wall);
	scene::ISceneNode* light = smgr->addLightSceneNode(room, core::vector3df(0, 10, 0),
	                                                   video::SColorf(1, 0.5f, 0), 50, 12);
	light->setName("light");
	video::SLight spot = static_cast<scene::ILightSceneNode*>(light)->getLightData();
	spot.Type = video::ELT_SPOT;
	spot.InnerCone = 20;
	static_cast<scene::ILightSceneNode*>(light)->setLightData(spot);
	scene::ISceneNodeAnimator* fly = smgr->createFlyCircleAnimator(core::vector3df(0, 10, 0), 20);
	light->addAnimator(fly);
	fly->drop();
	smgr->addBillboardSceneNode(light, core::dimension2df(4, 3), core::vector3df(0, 1, 0), 13,
	                            video::SColor(128, 10, 20, 30), video::SColor(0, 40, 50, 60))
	    ->setMaterialTexture(0, driver->getTexture((dir + "/particlewhite.bmp").c_str()));
	smgr->addCubeSceneNode(6, 0, 14, core::vector3df(-20, 0, 0))->setName("cube");
	smgr->addSphereSceneNode(3, 12, group, 15, core::vector3df(0, 5, 0))->setName("sphere");
	smgr->addCameraSceneNode(0, core::vector3df(0, 20, -40), core::vector3df(0, 5, 0), 16, false)
	    ->setFOV(0.9f);
	smgr->addSkyDomeSceneNode(wall, 12, 6, 0.9f, 1.5f, 800, 0, 17);
	// Two affectors with a "Speed" each, and points in the scene.
	scene::IParticleSystemSceneNode* particles =
	    smgr->addParticleSystemSceneNode(true, 0, 18, core::vector3df(0, 0, 30));
	scene::IParticleAffector* spin =
	    particles->createRotationAffector(core::vector3df(0, 90, 0), core::vector3df(1, 2, 33));
	particles->addAffector(spin);
	spin->drop();
	scene::IParticleAffector* pull =
	    particles->createAttractionAffector(core::vector3df(0, 10, 30), 7, false);
	particles->addAffector(pull);
	pull->drop();
	smgr->addTextSceneNode(editor->_gui->getBuiltInFont(), L"hello", video::SColor(255, 255, 0, 0),
	                       group, core::vector3df(0, 9, 0), 19)
	    ->setName("text");
	const std::string file = dir + "/every.irr";
	ASSERT_TRUE(smgr->saveScene(file.c_str()));
	smgr->drop();
	expectRoundTrip(file);

	// A game rebuilds them with their textures and values.
	editor->sow_editboxDir->setText(core::stringw((dir + "/").c_str()).c_str());
	ASSERT_TRUE(editor->SaveLevel());
	const std::string level = ReadFile(dir + "/Level.cpp");
	for (const char* line : {"room.3ds\"));", "wall.jpg\"));", "particlewhite.bmp\"));",
	                         ".Type = ELT_SPOT;", "addCubeSceneNode(6.000000f", "setFOV(51.566"})
		EXPECT_NE(std::string::npos, level.find(line)) << line;
	// Its one camera is the game's active one, as a bare loadScene leaves it.
	const size_t camera = level.find("addCameraSceneNode(");
	ASSERT_NE(std::string::npos, camera);
	EXPECT_EQ(level.find(", true);", camera), level.find(";", camera) - 7);
}

// Values no editor would write open within their kind's ranges, and a sky
// dome of two billion rows does not take the helper down with the scene.
TEST_F(ForeignSceneTest, HostileValuesOpenWithinRange)
{
	const std::string file =
	    WriteFile("hostile.irr", "<?xml version=\"1.0\"?>\n<irr_scene>\n"
	                             "<node type=\"light\"><attributes>\n"
	                             "<float name=\"Radius\" value=\"-5\" />\n"
	                             "<colorf name=\"DiffuseColor\" value=\"nan, 9, -1, 1\" />\n"
	                             "<enum name=\"LightType\" value=\"Laser\" />\n"
	                             "<float name=\"OuterCone\" value=\"1e30\" />\n"
	                             "</attributes></node>\n"
	                             "<node type=\"skyDome\"><attributes>\n"
	                             "<int name=\"HorizontalResolution\" value=\"2000000000\" />\n"
	                             "<int name=\"VerticalResolution\" value=\"2000000000\" />\n"
	                             "</attributes></node>\n"
	                             "<node type=\"particleSystem\"><attributes>\n"
	                             "<enum name=\"Emitter\" value=\"Mesh\" />\n"
	                             "<enum name=\"Affector\" value=\"Gravity\" />\n"
	                             "<int name=\"MaxParticlesPerSecond\" value=\"99999999\" />\n"
	                             "</attributes></node>\n"
	                             "</irr_scene>\n");
	ASSERT_TRUE(editor->OpenScene(file.c_str()));
	dismissMessages();
	editor->SyncDocument();
	int objects = 0;
	for (int slot = 1; slot < OBJECT_SLOTS; ++slot)
		if (const SModelState* record = editor->Document.Object(slot))
		{
			std::string field;
			EXPECT_TRUE(RecordIsSound(*record, field)) << slot << " " << field;
			++objects;
		}
	EXPECT_EQ(3, objects);
}
