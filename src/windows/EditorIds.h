// Identifiers of the editor's menu commands, windows and controls. The event
// receiver dispatches on these numbers; -1 and 0 are shared by every element
// nothing reacts to and are never dispatched on.
#ifndef TOLVANE_EDITORIDS_H
#define TOLVANE_EDITORIDS_H

enum EEditorId
{
	ID_NONE = -1,
	ID_PLAIN = 0,

	// menu "File"
	ID_MENU_CLEAR = 40,
	ID_MENU_FILE_PROPERTIES = 41,
	ID_MENU_QUIT = 42,
	ID_MENU_SAVE_CPP = 43,
	ID_MENU_OPEN_SCENE = 44,
	ID_MENU_SAVE_SCENE = 45,
	ID_MENU_OPEN_RECENT = 46,
	ID_MENU_EXPORT_GLTF = 48,
	// menu "Edit"
	ID_MENU_UNDO = 30,
	ID_MENU_REDO = 31,
	// menu "View"
	ID_MENU_SCENE_INFO = 50,
	ID_MENU_SCENE_OBJECTS = 51,
	ID_MENU_ASSETS = 52,
	ID_MENU_PROPERTIES = 59,
	ID_MENU_VIEW_PERSPECTIVE = 53,
	ID_MENU_VIEW_TOP = 54,
	ID_MENU_VIEW_FRONT = 55,
	ID_MENU_VIEW_SIDE = 56,
	ID_MENU_FOUR_VIEWS = 57,
	ID_MENU_GRID = 58,
	// menu "World"
	ID_MENU_WORLD_PROPERTIES = 60,
	ID_MENU_SKYBOX_SETUP = 61,
	// menu "Object"
	ID_MENU_REMOVE = 70,
	ID_MENU_OBJECT_PROPERTIES = 71,
	ID_MENU_ADD_MODEL = 72,
	ID_MENU_ADD_WATER = 73,
	ID_MENU_TRANSFORM = 74,
	ID_MENU_DROP_TO_FLOOR = 75,
	ID_MENU_ADD_LIGHT = 76,
	ID_MENU_ADD_BILLBOARD = 77,
	ID_MENU_ADD_CUBE = 78,
	ID_MENU_ADD_SPHERE = 79,
	ID_MENU_ADD_CAMERA = 82,
	ID_MENU_ADD_SKY_DOME = 83,
	// menu "Tools"
	ID_MENU_PARTICLE_EDITOR = 80,
	// menu "Object": an empty, and grouping
	ID_MENU_ADD_EMPTY = 81,
	ID_MENU_GROUP = 84,
	ID_MENU_UNGROUP = 85,
	// menu "Help"
	ID_MENU_ABOUT = 90,

	// "Editor Properties" and "Save Options"
	ID_EDITOR_PROPERTIES_WINDOW = 100,
	ID_EDITOR_PROPERTIES_OK = 101,
	ID_SAVE_OPTIONS_OK = 102,
	ID_SAVE_OPTIONS_DIR = 103,
	ID_SAVE_OPTIONS_CANCEL = 104,
	ID_SAVE_OPTIONS_BROWSE = 105,

	// "World Properties"
	ID_WORLD_WINDOW = 301,
	ID_WORLD_OK = 302,
	ID_WORLD_LOAD_TERRAIN = 303,
	ID_WORLD_TERRAIN_TEXTURE = 304,
	ID_WORLD_LOAD_PLANE = 305,
	ID_WORLD_PLANE_TEXTURE = 306,
	ID_WORLD_LOAD_Q3LEVEL = 307,
	ID_WORLD_DELETE_TERRAIN = 308,
	ID_WORLD_DELETE_PLANE = 309,
	ID_WORLD_DELETE_Q3LEVEL = 310,
	ID_WORLD_FOG_RED = 321,
	ID_WORLD_FOG_GREEN = 322,
	ID_WORLD_FOG_BLUE = 323,

	// "Choose a Level" (an archive holding several Quake 3 levels)
	ID_LEVEL_CHOOSER_WINDOW = 330,
	ID_LEVEL_CHOOSER_LIST = 331,
	ID_LEVEL_CHOOSER_OK = 332,
	ID_LEVEL_CHOOSER_CANCEL = 333,

	// "Loading <file>..." while a file is tried
	ID_LOADING_WINDOW = 340,
	ID_LOADING_CANCEL = 341,

	// "Save Scene"
	ID_SAVE_SCENE_WINDOW = 350,
	ID_SAVE_SCENE_FILE = 351,
	ID_SAVE_SCENE_OK = 352,
	ID_SAVE_SCENE_CANCEL = 353,
	ID_SAVE_SCENE_BROWSE = 354,
	// "Replace <file>?" before a scene opened in part is saved over its file
	ID_SAVE_SCENE_REPLACE = 355,

	// "Export glTF"
	ID_GLTF_WINDOW = 380,
	ID_GLTF_FILE = 381,
	ID_GLTF_OK = 382,
	ID_GLTF_CANCEL = 383,
	ID_GLTF_BROWSE = 384,

	// "Assets": the folder field, its "...", the scroll bar of the pictures
	ID_ASSETS_WINDOW = 390,
	ID_ASSETS_FOLDER = 391,
	ID_ASSETS_BROWSE = 392,
	ID_ASSETS_ROWS = 393,

	// The questions before unsaved work would be lost, and about work an
	// editor that ended left behind
	ID_QUIT_QUESTION = 370,
	ID_RECOVERY_QUESTION = 371,

	// "SkyBox Setup"
	ID_SKYBOX_WINDOW = 311,
	ID_SKYBOX_OK = 312,
	ID_SKYBOX_DIR = 313,
	ID_SKYBOX_UP = 314,
	ID_SKYBOX_DOWN = 315,
	ID_SKYBOX_LEFT = 316,
	ID_SKYBOX_RIGHT = 317,
	ID_SKYBOX_FRONT = 318,
	ID_SKYBOX_BACK = 319,
	ID_SKYBOX_APPLY = 320,
	// "..." beside the folder and the six face fields, in that order
	ID_SKYBOX_BROWSE = 360,

	// "Selected Model Properties"
	ID_MODEL_WINDOW = 402,
	ID_MODEL_OK = 403,
	ID_MODEL_LOAD_SKIN1 = 404,
	ID_MODEL_LOAD_SKIN2 = 405,
	ID_MODEL_MATERIAL = 406,
	ID_MODEL_SHADOW = 407,
	ID_MODEL_FOG = 408,
	ID_MODEL_SCALE_X = 409,
	ID_MODEL_SCALE_Y = 410,
	ID_MODEL_SCALE_Z = 411,

	// "Selected Water Properties"
	ID_WATER_OK = 412,
	ID_WATER_LOAD_SKIN1 = 413,
	ID_WATER_LOAD_SKIN2 = 414,

	// "About"
	ID_ABOUT_WINDOW = 501,
	ID_ABOUT_CLOSE = 503,

	// "Particle Editor"; the control of the particle kind's value i is
	// ID_PARTICLE_VALUES + i.
	ID_PARTICLE_WINDOW = 600,
	ID_PARTICLE_ADD = 601,
	ID_PARTICLE_PRESET = 602,
	ID_PARTICLE_LOAD_TEXTURE = 603,
	ID_PARTICLE_CLOSE = 604,
	ID_PARTICLE_MATERIAL = 605,
	//! The line that says what the window edits.
	ID_PARTICLE_TARGET = 606,
	ID_PARTICLE_VALUES = 610,

	// "Transform": position, rotation and scale of the selection, and snapping
	ID_TRANSFORM_WINDOW = 700,
	ID_TRANSFORM_POSITION_X = 701, // 701 to 709: position, rotation, scale; X, Y, Z each
	ID_TRANSFORM_SCALE_Z = 709,
	ID_TRANSFORM_SNAP = 710,
	ID_TRANSFORM_GRID = 711,
	ID_TRANSFORM_ANGLE = 712,

	// "Scene Objects"
	ID_SCENE_OBJECTS_WINDOW = 720,
	ID_SCENE_OBJECTS_LIST = 721,
	ID_SCENE_OBJECTS_HIDE = 722,
	ID_SCENE_OBJECTS_LOCK = 723,
	// the filter box, and the box that renames the chosen object (F2)
	ID_SCENE_OBJECTS_FILTER = 724,
	ID_SCENE_OBJECTS_RENAME = 725,

	// "Properties": the selected object's values, laid out from its kind.
	// The control of the kind's own value i is ID_PROPERTIES_VALUES + i
	// (values past the forty-ninth share ID_PLAIN).
	ID_PROPERTIES_WINDOW = 730,
	//! The line naming the object, or saying that none is selected.
	ID_PROPERTIES_CAPTION = 731,
	ID_PROPERTIES_MATERIAL = 732,
	// 733 to 736: the flags shadow, fog, lighting and wireframe
	ID_PROPERTIES_SHADOW = 733,
	ID_PROPERTIES_WIREFRAME = 736,
	// "..." of texture layers 0 and 1
	ID_PROPERTIES_TEXTURE_FIRST = 737,
	ID_PROPERTIES_TEXTURE_SECOND = 738,
	ID_PROPERTIES_ROWS = 739,
	ID_PROPERTIES_VALUES = 740,
	ID_PROPERTIES_VALUES_LAST = 788,
	//! The list of the objects the shown one can hang from.
	ID_PROPERTIES_PARENT = 789,

	// "File", "Open Recent": entry i (0 to 7, newest first) is
	// ID_RECENT_SCENE_FIRST + i; 800 to 899 are kept for the list.
	ID_RECENT_SCENE_FIRST = 800,
	ID_RECENT_SCENE_LAST = 899,

	// The water surface's scene node; model nodes carry their slot index.
	ID_WATER_NODE = 101
};

#endif
