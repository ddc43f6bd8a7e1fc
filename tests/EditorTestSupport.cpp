#include "EditorTestSupport.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

void EditorTest::SetUp()
{
	editor = new CSceneEditor;
	editor->Init(video::EDT_NULL);
	ASSERT_EQ("", editor->StartupError);
	ASSERT_NE(nullptr, editor->_device);
}

void EditorTest::TearDown()
{
	delete editor;
}

bool EditorTest::postKey(EKEY_CODE code, bool pressed, wchar_t ch, bool control)
{
	SEvent event;
	event.EventType = EET_KEY_INPUT_EVENT;
	event.KeyInput.Key = code;
	event.KeyInput.PressedDown = pressed;
	event.KeyInput.Char = ch;
	event.KeyInput.Control = control;
	event.KeyInput.Shift = false;
	return editor->_device->postEventFromUser(event);
}

void EditorTest::holdKeys(std::initializer_list<EKEY_CODE> codes, int frames)
{
	for (EKEY_CODE c : codes)
		postKey(c, true);
	for (int i = 0; i < frames; ++i)
		editor->Update();
	for (EKEY_CODE c : codes)
		postKey(c, false);
}

void EditorTest::frame()
{
	editor->Update();
	editor->_smgr->drawAll();
}

CModel* EditorTest::placeModel(int slot, const char* mesh)
{
	scene::IAnimatedMesh* m = editor->_smgr->getMesh(MediaFile(mesh).c_str());
	EXPECT_NE(nullptr, m) << mesh;
	CModel* model = new CModel(editor->_smgr);
	model->AnimatedNode = editor->_smgr->addAnimatedMeshSceneNode(m, 0, slot);
	model->MODEL_TYPE = CModel::TYPE_MESH;
	delete editor->Model[slot];
	editor->Model[slot] = model;
	return model;
}

std::string MediaFile(const std::string& name)
{
	const std::string packed = std::string(IRRLICHT_MEDIA_DIR) + "/" + name;
	if (access(packed.c_str(), R_OK) == 0)
		return packed;
	const std::string dir = "/tmp/tolvane-media-" + std::to_string(getuid());
	mkdir(dir.c_str(), 0700);
	const std::string unpacked = dir + "/" + name;
	if (access(unpacked.c_str(), R_OK) != 0)
	{
		const std::string tmp = unpacked + "." + std::to_string(getpid());
		const std::string command =
		    "gzip -dc '" + packed + ".gz' > '" + tmp + "' && mv '" + tmp + "' '" + unpacked + "'";
		if (std::system(command.c_str()) != 0)
			ADD_FAILURE() << "cannot unpack " << packed << ".gz";
	}
	return unpacked;
}

namespace
{
int CountBelow(scene::ISceneNode* node, scene::ESCENE_NODE_TYPE type)
{
	int count = 0;
	for (scene::ISceneNode* child : node->getChildren())
		count += (child->getType() == type) + CountBelow(child, type);
	return count;
}
} // namespace

int CountNodes(scene::ISceneManager* smgr, scene::ESCENE_NODE_TYPE type)
{
	return CountBelow(smgr->getRootSceneNode(), type);
}

::testing::AssertionResult VecNear(const core::vector3df& expected, const core::vector3df& actual,
                                   f32 tolerance)
{
	if (expected.equals(actual, tolerance))
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure()
	       << "expected (" << expected.X << ", " << expected.Y << ", " << expected.Z << "), got ("
	       << actual.X << ", " << actual.Y << ", " << actual.Z << ")";
}
