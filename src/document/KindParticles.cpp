// Particle systems: the engine's particle system node with one emitter and
// the affectors its settings switch on, in the slots 1 to 99 of the object
// table, edited in "Particle Editor", saved as the engine's own node and
// exported after the models as the calls that build the same system.
#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "ObjectKinds.h"
#include "ParticleSettings.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace particles
{
const SValue Values[VALUE_COUNT] = {
    {"Shape", L"Emitter shape", 0, SHAPE_COUNT - 1},
    {"SizeX", L"Width or radius", 0, 1000},
    {"SizeY", L"Height, length or thickness", 0, 1000},
    {"SizeZ", L"Depth", 0, 1000},
    {"DirectionX", L"X, units a second", -1000, 1000},
    {"DirectionY", L"Y, units a second", -1000, 1000},
    {"DirectionZ", L"Z, units a second", -1000, 1000},
    {"Angle", L"Largest angle from the direction, degrees", 0, 180},
    {"RateLeast", L"Least particles a second", 0, 1000},
    {"RateMost", L"Most particles a second", 0, 1000},
    {"LifeLeast", L"Least lifetime, ms", 0, 10000},
    {"LifeMost", L"Most lifetime, ms", 0, 10000},
    {"DarkRed", L"Red", 0, 255},
    {"DarkGreen", L"Green", 0, 255},
    {"DarkBlue", L"Blue", 0, 255},
    {"DarkAlpha", L"Alpha", 0, 255},
    {"BrightRed", L"Red", 0, 255},
    {"BrightGreen", L"Green", 0, 255},
    {"BrightBlue", L"Blue", 0, 255},
    {"BrightAlpha", L"Alpha", 0, 255},
    {"StartSizeLeast", L"Least start size", 0, 500},
    {"StartSizeMost", L"Most start size", 0, 500},
    {"FadeOutOn", L"Fade out", 0, 1},
    {"FadeRed", L"Red", 0, 255},
    {"FadeGreen", L"Green", 0, 255},
    {"FadeBlue", L"Blue", 0, 255},
    {"FadeAlpha", L"Alpha", 0, 255},
    {"FadeTime", L"Time of the fade, ms", 1, 10000},
    {"GravityOn", L"Gravity", 0, 1},
    {"GravityX", L"X, units a second", -1000, 1000},
    {"GravityY", L"Y, units a second", -1000, 1000},
    {"GravityZ", L"Z, units a second", -1000, 1000},
    {"GravityTime", L"Time to full effect, ms", 1, 10000},
    {"SpinOn", L"Rotation", 0, 1},
    {"SpinX", L"About X, degrees a second", -1000, 1000},
    {"SpinY", L"About Y, degrees a second", -1000, 1000},
    {"SpinZ", L"About Z, degrees a second", -1000, 1000},
    {"PivotX", L"Pivot X, from the system", -1000, 1000},
    {"PivotY", L"Pivot Y, from the system", -1000, 1000},
    {"PivotZ", L"Pivot Z, from the system", -1000, 1000},
    {"AttractionOn", L"Attraction", 0, 1},
    {"AttractionX", L"Point X, from the system", -1000, 1000},
    {"AttractionY", L"Point Y, from the system", -1000, 1000},
    {"AttractionZ", L"Point Z, from the system", -1000, 1000},
    {"AttractionSpeed", L"Speed, units a second", 0, 1000},
    {"Repel", L"Repel instead of attract", 0, 1},
    {"GrowOn", L"Scale", 0, 1},
    {"GrowBy", L"Size added over the lifetime", 0, 500},
};

bool IsSwitch(s32 value)
{
	return value == FADE_ON || value == GRAVITY_ON || value == SPIN_ON || value == ATTRACTION_ON ||
	       value == REPEL || value == GROW_ON;
}

// Each row: shape, size X Y Z; direction X Y Z, angle; particles a second
// and lifetime, least and most; darkest and brightest colour; start size
// least and most; then the affectors, each switch first: fade out (colour,
// time), gravity (X Y Z, time), rotation (speed X Y Z, pivot X Y Z),
// attraction (point X Y Z, speed, repel), scale (grow by).
const SPreset Presets[5] = {
    {"Fire", Materials[0], {BOX, 20, 2, 20,   0,   60,  0,   0,   80,   100, 800, 2000,
                            200, 60, 0, 255,  255, 160, 40,  255, 10,   20,  1,   0,
                            0,   0,  0, 1000, 0,   0,   -30, 0,   1000, 0,   0,   40,
                            0,   0,  0, 0,    0,   0,   50,  0,   50,   0,   0,   10}},
    {"Smoke", Materials[1], {SPHERE, 5,  0,  0,    0,   40,  0,   15,  20,   30, 2500, 4000,
                             60,     60, 60, 160,  110, 110, 110, 200, 10,   15, 1,    0,
                             0,      0,  0,  2000, 1,   15,  40,  0,   3000, 0,  0,    40,
                             0,      0,  0,  0,    0,   0,   50,  0,   50,   0,  1,    30}},
    {"Snow", Materials[0], {BOX, 300, 2,   300,  0,   -30, 0,   10,  150,  200, 6000, 8000,
                            200, 200, 220, 255,  255, 255, 255, 255, 2,    4,   0,    0,
                            0,   0,   0,   1000, 0,   0,   -30, 0,   1000, 0,   0,    40,
                            0,   0,   0,   0,    0,   0,   50,  0,   50,   0,   0,    10}},
    {"Fountain", Materials[0], {POINT, 0,   0,   0,   0,   150, 0,    12,  200,  300, 2000, 2500,
                                60,    100, 200, 255, 150, 200, 255,  255, 3,    5,   1,    0,
                                0,     0,   0,   500, 1,   0,   -150, 0,   1500, 0,   0,    40,
                                0,     0,   0,   0,   0,   0,   50,   0,   50,   0,   0,    10}},
    {"Sparks", Materials[0], {SPHERE, 2,   0,  0,   0,   100, 0,    90,  60,  120, 500, 1000,
                              255,    200, 50, 255, 255, 255, 200,  255, 1,   3,   1,   0,
                              0,      0,   0,  500, 1,   0,   -200, 0,   800, 0,   0,   40,
                              0,      0,   0,  0,   0,   0,   50,   0,   50,  0,   0,   10}},
};

std::vector<f32> ValuesOf(const CModel& particles)
{
	return KindValues(*KindOf(CModel::TYPE_PARTICLES), particles);
}

s32 PresetOf(const std::vector<f32>& values, s32 material)
{
	for (s32 i = 0; i < static_cast<s32>(std::size(Presets)); ++i)
		if (Presets[i].Material == material && values.size() == VALUE_COUNT &&
		    std::equal(values.begin(), values.end(), Presets[i].Values))
			return i;
	return -1;
}

std::wstring SystemName(const std::vector<f32>& values, s32 material, const std::string& texture)
{
	const s32 preset = PresetOf(values, material);
	std::string name;
	if (preset >= 0)
		name = Presets[preset].Name;
	else
	{
		name = texture.substr(texture.rfind('/') + 1);
		name = name.substr(0, name.rfind('.'));
	}
	if (name.empty())
		return L"particle system";
	if (preset >= 0)
		name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
	return FileNameToWide(name) + L" particles";
}
} // namespace particles

using namespace particles;

namespace
{
// Engine values are whole numbers; a scene file may hold fractions.
u32 Whole(f32 value)
{
	return static_cast<u32>(core::round_(core::max_(value, 0.0f)));
}

// What the engine's emitter and affectors take, from a system's values at
// its place: speeds a second become speeds a millisecond, least and most
// come in order (the engine's emitter counts on it), and the points given
// from the system become points in the scene, where its particles live.
struct SRecipe
{
	s32 Shape;
	core::vector3df Size, Direction;
	s32 Angle;
	u32 Rate[2], Life[2];
	video::SColor Colour[2];
	core::dimension2df StartSize[2];
	bool Fade, Gravity, Spin, Attraction, Grow;
	video::SColor FadeColour;
	u32 FadeTime, GravityTime;
	core::vector3df GravityVector, SpinSpeed, Pivot, Point;
	f32 Speed, GrowBy;
	bool Attract;
};

SRecipe RecipeOf(const std::vector<f32>& v, const core::vector3df& place)
{
	const auto vector = [&v](s32 first)
	{ return core::vector3df(v[first], v[first + 1], v[first + 2]); };
	const auto colour = [&v](s32 red) {
		return video::SColor(Whole(v[red + 3]), Whole(v[red]), Whole(v[red + 1]),
		                     Whole(v[red + 2]));
	};
	SRecipe r;
	r.Shape = static_cast<s32>(Whole(v[SHAPE]));
	r.Size = vector(SIZE_X);
	r.Direction = vector(DIRECTION_X) / 1000.0f;
	r.Angle = static_cast<s32>(Whole(v[ANGLE]));
	const f32 pairs[3][2] = {{v[RATE_LEAST], v[RATE_MOST]},
	                         {v[LIFE_LEAST], v[LIFE_MOST]},
	                         {v[START_SIZE_LEAST], v[START_SIZE_MOST]}};
	for (int i = 0; i < 2; ++i)
	{
		r.Rate[i] =
		    Whole(i ? core::max_(pairs[0][0], pairs[0][1]) : core::min_(pairs[0][0], pairs[0][1]));
		r.Life[i] =
		    Whole(i ? core::max_(pairs[1][0], pairs[1][1]) : core::min_(pairs[1][0], pairs[1][1]));
		const f32 size =
		    i ? core::max_(pairs[2][0], pairs[2][1]) : core::min_(pairs[2][0], pairs[2][1]);
		r.StartSize[i] = core::dimension2df(size, size);
	}
	r.Colour[0] = colour(DARK_RED);
	r.Colour[1] = colour(BRIGHT_RED);
	r.Fade = v[FADE_ON] != 0;
	r.FadeColour = colour(FADE_RED);
	r.FadeTime = core::max_(Whole(v[FADE_TIME]), 1u);
	r.Gravity = v[GRAVITY_ON] != 0;
	r.GravityVector = vector(GRAVITY_X) / 1000.0f;
	r.GravityTime = core::max_(Whole(v[GRAVITY_TIME]), 1u);
	r.Spin = v[SPIN_ON] != 0;
	r.SpinSpeed = vector(SPIN_X);
	r.Pivot = place + vector(PIVOT_X);
	r.Attraction = v[ATTRACTION_ON] != 0;
	r.Point = place + vector(ATTRACTION_X);
	r.Speed = v[ATTRACTION_SPEED];
	r.Attract = v[REPEL] == 0;
	r.Grow = v[GROW_ON] != 0;
	r.GrowBy = v[GROW_BY];
	return r;
}

// The emitter's shape around the system's origin: a box centred on it;
// a sphere, a ring and the base of an upright cylinder centred on it.
core::aabbox3df BoxOf(const SRecipe& r)
{
	return core::aabbox3df(-r.Size / 2, r.Size / 2);
}

scene::IParticleEmitter* CreateEmitter(scene::IParticleSystemSceneNode* node, const SRecipe& r)
{
	const core::vector3df origin(0, 0, 0), up(0, 1, 0);
	switch (r.Shape)
	{
	case BOX:
		return node->createBoxEmitter(BoxOf(r), r.Direction, r.Rate[0], r.Rate[1], r.Colour[0],
		                              r.Colour[1], r.Life[0], r.Life[1], r.Angle, r.StartSize[0],
		                              r.StartSize[1]);
	case SPHERE:
		return node->createSphereEmitter(origin, r.Size.X, r.Direction, r.Rate[0], r.Rate[1],
		                                 r.Colour[0], r.Colour[1], r.Life[0], r.Life[1], r.Angle,
		                                 r.StartSize[0], r.StartSize[1]);
	case CYLINDER:
		return node->createCylinderEmitter(
		    origin, r.Size.X, up, r.Size.Y, false, r.Direction, r.Rate[0], r.Rate[1], r.Colour[0],
		    r.Colour[1], r.Life[0], r.Life[1], r.Angle, r.StartSize[0], r.StartSize[1]);
	case RING:
		return node->createRingEmitter(origin, r.Size.X, r.Size.Y, r.Direction, r.Rate[0],
		                               r.Rate[1], r.Colour[0], r.Colour[1], r.Life[0], r.Life[1],
		                               r.Angle, r.StartSize[0], r.StartSize[1]);
	default:
		return node->createPointEmitter(r.Direction, r.Rate[0], r.Rate[1], r.Colour[0], r.Colour[1],
		                                r.Life[0], r.Life[1], r.Angle, r.StartSize[0],
		                                r.StartSize[1]);
	}
}

void AddAffector(scene::IParticleSystemSceneNode* node, scene::IParticleAffector* affector)
{
	node->addAffector(affector);
	affector->drop();
}

// The C++ of engine values, as the export writes them.
std::string Number(u32 value)
{
	return std::to_string(value);
}

std::string Colour(const video::SColor& c)
{
	return "SColor(" + Number(c.getAlpha()) + "," + Number(c.getRed()) + "," +
	       Number(c.getGreen()) + "," + Number(c.getBlue()) + ")";
}

std::string Size(const core::dimension2df& size)
{
	return "dimension2df(" + FixedSix(size.Width) + "," + FixedSix(size.Height) + ")";
}

std::string EmitterSource(const std::string& node, const SRecipe& r)
{
	const std::string origin = "vector3df(0,0,0), ";
	std::string call;
	switch (r.Shape)
	{
	case BOX:
		call = "createBoxEmitter(aabbox3df(" + ExportVector(-r.Size / 2) + ", " +
		       ExportVector(r.Size / 2) + "), ";
		break;
	case SPHERE: call = "createSphereEmitter(" + origin + FixedSix(r.Size.X) + ", "; break;
	case CYLINDER:
		call = "createCylinderEmitter(" + origin + FixedSix(r.Size.X) + ", vector3df(0,1,0), " +
		       FixedSix(r.Size.Y) + ", false, ";
		break;
	case RING:
		call =
		    "createRingEmitter(" + origin + FixedSix(r.Size.X) + ", " + FixedSix(r.Size.Y) + ", ";
		break;
	default: call = "createPointEmitter("; break;
	}
	return node + "->" + call + ExportVector(r.Direction) + ", " + Number(r.Rate[0]) + ", " +
	       Number(r.Rate[1]) + ", " + Colour(r.Colour[0]) + ", " + Colour(r.Colour[1]) + ", " +
	       Number(r.Life[0]) + ", " + Number(r.Life[1]) + ", " + std::to_string(r.Angle) + ", " +
	       Size(r.StartSize[0]) + ", " + Size(r.StartSize[1]) + ")";
}

// The attributes after an affector's "Affector" entry, up to the next, by
// name (a rotation and an attraction both have a "Speed").
struct SAffectorAttributes
{
	io::IAttributes& In;
	s32 First, Last;
	//! The index of the affector's attribute of that name, or -1.
	s32 operator[](const char* name) const
	{
		for (s32 i = First; i < Last; ++i)
			if (!std::strcmp(In.getAttributeName(i), name))
				return i;
		return -1;
	}
};

// The engine's emitter as the system's shape and values. Its centre and
// axis are the system's origin and up, which is all the editor's shapes
// have; a mesh emitter has no shape here, and keeps the values' own.
void ReadEmitter(io::IAttributes& in, std::vector<f32>& v)
{
	const s32 shape = in.getAttributeAsEnumeration("Emitter", scene::ParticleEmitterTypeNames);
	const std::pair<s32, s32> shapes[] = {{scene::EPET_POINT, POINT},
	                                      {scene::EPET_BOX, BOX},
	                                      {scene::EPET_SPHERE, SPHERE},
	                                      {scene::EPET_CYLINDER, CYLINDER},
	                                      {scene::EPET_RING, RING}};
	for (const auto& s : shapes)
		if (shape == s.first)
			v[SHAPE] = static_cast<f32>(s.second);
	// A box's "Box" is half its size.
	ReadVector(in, "Box", v, SIZE_X, 2);
	ReadNumber(in, "Radius", v[SIZE_X]);
	ReadNumber(in, "Length", v[SIZE_Y]);
	ReadNumber(in, "RingThickness", v[SIZE_Y]);
	ReadVector(in, "Direction", v, DIRECTION_X, 1000);
	ReadNumber(in, "MaxAngleDegrees", v[ANGLE]);
	ReadNumber(in, "MinParticlesPerSecond", v[RATE_LEAST]);
	ReadNumber(in, "MaxParticlesPerSecond", v[RATE_MOST]);
	ReadNumber(in, "MinLifeTime", v[LIFE_LEAST]);
	ReadNumber(in, "MaxLifeTime", v[LIFE_MOST]);
	ReadColour(in, "MinStartColor", v, DARK_RED, DARK_ALPHA);
	ReadColour(in, "MaxStartColor", v, BRIGHT_RED, BRIGHT_ALPHA);
	ReadNumber(in, "MinStartSizeWidth", v[START_SIZE_LEAST]);
	ReadNumber(in, "MaxStartSizeWidth", v[START_SIZE_MOST]);
}

// Each affector the engine wrote switches its settings on; points in the
// scene become points from the system, as the values hold them.
void ReadAffectors(io::IAttributes& in, std::vector<f32>& v, const core::vector3df& place)
{
	for (s32 on : {FADE_ON, GRAVITY_ON, SPIN_ON, ATTRACTION_ON, GROW_ON})
		v[on] = 0;
	const auto fromSystem = [&](s32 first)
	{
		v[first] -= place.X;
		v[first + 1] -= place.Y;
		v[first + 2] -= place.Z;
	};
	const s32 count = static_cast<s32>(in.getAttributeCount());
	for (s32 i = 0; i < count; ++i)
	{
		if (std::strcmp(in.getAttributeName(i), "Affector"))
			continue;
		s32 last = i + 1;
		while (last < count && std::strcmp(in.getAttributeName(last), "Affector"))
			++last;
		const SAffectorAttributes a = {in, i + 1, last};
		const core::stringc type = in.getAttributeAsString(i);
		if (type == "FadeOut")
		{
			v[FADE_ON] = 1;
			ReadColour(in, a["TargetColor"], v, FADE_RED, FADE_ALPHA);
			ReadNumber(in, a["FadeOutTime"], v[FADE_TIME]);
		}
		else if (type == "Gravity")
		{
			v[GRAVITY_ON] = 1;
			ReadVector(in, a["Gravity"], v, GRAVITY_X, 1000);
			ReadNumber(in, a["TimeForceLost"], v[GRAVITY_TIME]);
		}
		else if (type == "Rotate")
		{
			v[SPIN_ON] = 1;
			ReadVector(in, a["Speed"], v, SPIN_X);
			if (ReadVector(in, a["PivotPoint"], v, PIVOT_X))
				fromSystem(PIVOT_X);
		}
		else if (type == "Attract")
		{
			v[ATTRACTION_ON] = 1;
			if (ReadVector(in, a["Point"], v, ATTRACTION_X))
				fromSystem(ATTRACTION_X);
			ReadNumber(in, a["Speed"], v[ATTRACTION_SPEED]);
			const s32 attract = a["Attract"];
			if (attract >= 0)
				v[REPEL] = !in.getAttributeAsBool(attract);
		}
		else if (type == "Scale")
		{
			v[GROW_ON] = 1;
			ReadNumber(in, a["ScaleToWidth"], v[GROW_BY]);
		}
		i = last - 1;
	}
}
} // namespace

struct SKindParticles
{
	static scene::ISceneNode* NodeOf(const CModel& particles) { return particles.Node; }

	static bool Build(CSceneEditor& editor, CModel& particles, const SModelState&)
	{
		// The values, the emitter and the affectors follow (ApplyValues).
		particles.Node = editor._smgr->addParticleSystemSceneNode(false, 0, ID_NONE);
		particles.MODEL_TYPE = CModel::TYPE_PARTICLES;
		return particles.Node != 0;
	}

	static std::string MeshOf(CSceneEditor&, const CModel&) { return ""; }

	static void ApplyValues(CModel& particles)
	{
		scene::IParticleSystemSceneNode* node =
		    static_cast<scene::IParticleSystemSceneNode*>(particles.Node);
		if (!node)
			return;
		const SRecipe r = RecipeOf(ValuesOf(particles), node->getPosition());
		scene::IParticleEmitter* emitter = CreateEmitter(node, r);
		node->setEmitter(emitter);
		emitter->drop();
		node->removeAllAffectors();
		if (r.Fade)
			AddAffector(node, node->createFadeOutParticleAffector(r.FadeColour, r.FadeTime));
		if (r.Gravity)
			AddAffector(node, node->createGravityAffector(r.GravityVector, r.GravityTime));
		if (r.Spin)
			AddAffector(node, node->createRotationAffector(r.SpinSpeed, r.Pivot));
		if (r.Attraction)
			AddAffector(node, node->createAttractionAffector(r.Point, r.Speed, r.Attract));
		if (r.Grow)
			AddAffector(node,
			            node->createScaleParticleAffector(core::dimension2df(r.GrowBy, r.GrowBy)));
	}

	static bool Export(std::string& source, int slot, const SModelState& record)
	{
		const SRecipe r = RecipeOf(record.Values, record.Position);
		const std::string n = std::to_string(slot);
		const std::string p = "Particles" + n;
		const auto affector = [&](const std::string& name, const std::string& call)
		{
			const std::string a = name + n;
			return "\t\tIParticleAffector* " + a + " = " + p + "->" + call + ";\n\t\t" + p +
			       "->addAffector(" + a + ");\n\t\t" + a + "->drop();\n";
		};
		source += "\n\tIParticleSystemSceneNode* " + p +
		          " = _smgr->addParticleSystemSceneNode(false, 0, " + n + ");\n";
		source += "\tModel[" + n + "] = " + p + ";\n\tif (" + p + ")\n\t{\n";
		source += ExportTransform(p, record);
		source += "\t\tIParticleEmitter* Emitter" + n + " = " + EmitterSource(p, r) + ";\n";
		source += "\t\t" + p + "->setEmitter(Emitter" + n + ");\n\t\tEmitter" + n + "->drop();\n";
		if (r.Fade)
			source += affector("FadeOut", "createFadeOutParticleAffector(" + Colour(r.FadeColour) +
			                                  ", " + Number(r.FadeTime) + ")");
		if (r.Gravity)
			source += affector("Gravity", "createGravityAffector(" + ExportVector(r.GravityVector) +
			                                  ", " + Number(r.GravityTime) + ")");
		if (r.Spin)
			source += affector("Rotation", "createRotationAffector(" + ExportVector(r.SpinSpeed) +
			                                   ", " + ExportVector(r.Pivot) + ")");
		if (r.Attraction)
			source += affector("Attraction", "createAttractionAffector(" + ExportVector(r.Point) +
			                                     ", " + FixedSix(r.Speed) + ", " +
			                                     (r.Attract ? "true" : "false") + ")");
		if (r.Grow)
			source += affector("Scale", "createScaleParticleAffector(" +
			                                Size(core::dimension2df(r.GrowBy, r.GrowBy)) + ")");
		const std::string texture = SharedName(record.Textures[0]);
		if (!texture.empty())
			source += "\t\t" + p + "->setMaterialTexture(0, _driver->getTexture(" +
			          CppStringLiteral(texture) + "));\n";
		source += ExportMaterial(p, record) + "\t}\n";
		return true;
	}

	static gui::IGUIWindow* Window() { return CSceneEditor::ParticleWindow; }

	static void FillWindow(CSceneEditor& editor, CModel& particles)
	{
		editor.ParticleEditor.Fill(particles);
	}

	// The emitter's shape, at least as large as the particles it starts.
	static core::aabbox3df PickBox(const CModel& particles)
	{
		const SRecipe r = RecipeOf(ValuesOf(particles), core::vector3df(0, 0, 0));
		const f32 x = r.Size.X, y = r.Size.Y;
		core::aabbox3df box(0, 0, 0, 0, 0, 0);
		switch (r.Shape)
		{
		case BOX: box = BoxOf(r); break;
		case SPHERE: box = core::aabbox3df(-x, -x, -x, x, x, x); break;
		case CYLINDER: box = core::aabbox3df(-x, 0, -x, x, y, x); break;
		case RING: box = core::aabbox3df(-x - y, -y, -x - y, x + y, y, x + y); break;
		default: break;
		}
		const f32 half = r.StartSize[1].Width / 2;
		box.addInternalBox(core::aabbox3df(-half, -half, -half, half, half, half));
		particles.Node->updateAbsolutePosition();
		particles.Node->getAbsoluteTransformation().transformBoxEx(box);
		return box;
	}

	static void ReadNode(io::IAttributes& in, SModelState& particles)
	{
		ReadEmitter(in, particles.Values);
		ReadAffectors(in, particles.Values, particles.Position);
	}
};

namespace
{
// The kind table's columns of the settings.
struct SColumns
{
	const char* Names[VALUE_COUNT];
	f32 Least[VALUE_COUNT], Most[VALUE_COUNT];
	SColumns()
	{
		for (u32 i = 0; i < VALUE_COUNT; ++i)
		{
			Names[i] = Values[i].Name;
			Least[i] = Values[i].Least;
			Most[i] = Values[i].Most;
		}
	}
};
const SColumns Columns;

const wchar_t* const ShapeNames[SHAPE_COUNT + 1] = {L"Point",    L"Box",  L"Sphere",
                                                    L"Cylinder", L"Ring", 0};

// The emitter's and the affectors' colours are red, green and blue with an
// alpha of their own; counts and times are whole numbers, as the engine
// takes them.
const SValueShape Shapes[VALUE_COUNT] = {
    {VALUE_CHOICE, L"Emitter shape", ShapeNames},
    {VALUE_NUMBER, L"Width or radius", 0},
    {VALUE_NUMBER, L"Height or thickness", 0},
    {VALUE_NUMBER, L"Depth", 0},
    {VALUE_NUMBER, L"Direction X", 0},
    {VALUE_NUMBER, L"Direction Y", 0},
    {VALUE_NUMBER, L"Direction Z", 0},
    {VALUE_WHOLE, L"Spread angle", 0},
    {VALUE_WHOLE, L"Least a second", 0},
    {VALUE_WHOLE, L"Most a second", 0},
    {VALUE_WHOLE, L"Least lifetime, ms", 0},
    {VALUE_WHOLE, L"Most lifetime, ms", 0},
    {VALUE_COLOUR, L"Darkest colour", 0},
    {VALUE_COLOUR, L"Darkest green", 0},
    {VALUE_COLOUR, L"Darkest blue", 0},
    {VALUE_WHOLE, L"Darkest alpha", 0},
    {VALUE_COLOUR, L"Brightest colour", 0},
    {VALUE_COLOUR, L"Brightest green", 0},
    {VALUE_COLOUR, L"Brightest blue", 0},
    {VALUE_WHOLE, L"Brightest alpha", 0},
    {VALUE_NUMBER, L"Least start size", 0},
    {VALUE_NUMBER, L"Most start size", 0},
    {VALUE_CHECK, L"Fade out", 0},
    {VALUE_COLOUR, L"Fade to colour", 0},
    {VALUE_COLOUR, L"Fade to green", 0},
    {VALUE_COLOUR, L"Fade to blue", 0},
    {VALUE_WHOLE, L"Fade to alpha", 0},
    {VALUE_WHOLE, L"Fade time, ms", 0},
    {VALUE_CHECK, L"Gravity", 0},
    {VALUE_NUMBER, L"Gravity X", 0},
    {VALUE_NUMBER, L"Gravity Y", 0},
    {VALUE_NUMBER, L"Gravity Z", 0},
    {VALUE_WHOLE, L"Gravity time, ms", 0},
    {VALUE_CHECK, L"Rotation", 0},
    {VALUE_NUMBER, L"Spin about X", 0},
    {VALUE_NUMBER, L"Spin about Y", 0},
    {VALUE_NUMBER, L"Spin about Z", 0},
    {VALUE_NUMBER, L"Pivot X", 0},
    {VALUE_NUMBER, L"Pivot Y", 0},
    {VALUE_NUMBER, L"Pivot Z", 0},
    {VALUE_CHECK, L"Attraction", 0},
    {VALUE_NUMBER, L"Point X", 0},
    {VALUE_NUMBER, L"Point Y", 0},
    {VALUE_NUMBER, L"Point Z", 0},
    {VALUE_NUMBER, L"Attraction speed", 0},
    {VALUE_CHECK, L"Repel", 0},
    {VALUE_CHECK, L"Scale", 0},
    {VALUE_NUMBER, L"Grow by", 0},
};
} // namespace

extern const SObjectKind ParticleKind = {CModel::TYPE_PARTICLES,
                                         L"particle system",
                                         SKindParticles::NodeOf,
                                         SKindParticles::Build,
                                         SKindParticles::MeshOf,
                                         SKindParticles::Export,
                                         SKindParticles::Window,
                                         SKindParticles::FillWindow,
                                         Columns.Names,
                                         Presets[0].Values,
                                         VALUE_COUNT,
                                         Columns.Least,
                                         Columns.Most,
                                         0,
                                         SKindParticles::ApplyValues,
                                         SKindParticles::PickBox,
                                         true,
                                         Shapes,
                                         0,
                                         SKindParticles::ReadNode};
