// Generated from examples/bracket.json by host/model/EmbedSample.cmake; do not edit.
namespace OrvDbRecord::detail {
extern const char* const kSampleModelJson;
const char* const kSampleModelJson = R"orvsample({
  "format": "orv-model",
  "version": 1,
  "name": "Bracket",
  "scenarios": [
    {
      "id": 1,
      "name": "Bracket under clamp load",
      "analysisType": 2,
      "analysisCategory": 1,
      "riks": false,
      "modelUnitSystem": {"type": 1},
      "displayUnitSystem": {"type": 6},
      "globalCoordinateSystem": 1,
      "coordinateSystems": [
        {"id": 1, "type": 0, "name": "Global", "a": [0.0, 0.0, 0.0], "b": [0.0, 0.0, 1.0], "c": [1.0, 0.0, 0.0]},
        {
          "id": 2,
          "type": 1,
          "name": "Hole axis",
          "a": [0.05, 0.03, 0.0],
          "b": [0.05, 0.03, 0.01],
          "c": [0.06, 0.03, 0.0]
        },
        {
          "id": 3,
          "type": 3,
          "name": "Ball joint",
          "a": [0.0, 0.03, 0.08],
          "b": [0.0, 0.03, 0.09],
          "c": [0.01, 0.03, 0.08]
        },
        {"id": 4, "type": 2, "name": "Upright local", "a": [0.0, 0.0, 0.0], "b": [1.0, 0.0, 0.0], "c": [0.0, 0.0, 1.0]}
      ],
      "parts": [
        {"id": 1, "name": "Base plate", "elementType": 5},
        {"id": 2, "name": "Upright", "elementType": 23},
        {"id": 3, "name": "Brace", "elementType": 1}
      ],
      "nodes": [
        {"id": 1, "xyz": [0.0, 0.0, 0.0]},
        {"id": 2, "xyz": [0.1, 0.0, 0.0]},
        {"id": 3, "xyz": [0.1, 0.06, 0.0]},
        {"id": 4, "xyz": [0.0, 0.06, 0.0]},
        {"id": 5, "xyz": [0.0, 0.0, 0.08]},
        {"id": 6, "xyz": [0.0, 0.06, 0.08]},
        {"id": 7, "xyz": [0.04, 0.02, 0.0]},
        {"id": 8, "xyz": [0.06, 0.02, 0.0]},
        {"id": 9, "xyz": [0.06, 0.04, 0.0]},
        {"id": 10, "xyz": [0.04, 0.04, 0.0]},
        {"id": 11, "xyz": [0.1, 0.03, 0.0]},
        {"id": 12, "xyz": [0.0, 0.03, 0.08]}
      ],
      "surfaces": [
        {"id": 1, "part": 1, "nodes": [1, 2, 3, 4]},
        {"id": 2, "part": 2, "nodes": [1, 4, 6, 5]},
        {"id": 3, "part": 1, "nodes": [7, 8, 9, 10]},
        {"id": 4, "part": 2, "nodes": [5, 6, 12]}
      ],
      "edges": [
        {"id": 1, "part": 2, "nodes": [5, 6]},
        {"id": 2, "part": 3, "nodes": [11, 12]}
      ],
      "groups": [{"id": 1, "name": "Clamp loads", "loadCurve": 2}],
      "massSpecies": [{"id": 1, "name": "Salt", "diffusivity": 1.5e-09}, {"id": 2, "name": "Moisture", "diffusivity": 2.6e-05}],
      "objects": [
        {
          "id": 1,
          "typeCode": 35,
          "type": "Surface Force",
          "geometry": {"kind": "surface", "id": 1},
          "group": 1,
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Clamp pressure"},
              {"offset": 272, "type": "f64", "name": "magnitude", "value": 500.0},
              {"offset": 280, "type": "f64", "name": "directionX", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "directionY", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "directionZ", "value": 0.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 2},
              {"offset": 308, "type": "i32", "name": "reserved308", "value": 0},
              {"offset": 312, "type": "flag", "name": "followsMovingSurface", "value": false}
            ]
          }
        },
        {
          "id": 2,
          "typeCode": 35,
          "type": "Surface Force",
          "geometry": {"kind": "surface", "id": 2},
          "group": 1,
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Side push"},
              {"offset": 272, "type": "f64", "name": "magnitude", "value": 500.0},
              {"offset": 280, "type": "f64", "name": "directionX", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "directionY", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "directionZ", "value": -1.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 2},
              {"offset": 308, "type": "i32", "name": "reserved308", "value": 0},
              {"offset": 312, "type": "flag", "name": "followsMovingSurface", "value": false}
            ]
          }
        },
        {
          "id": 3,
          "typeCode": 35,
          "type": "Surface Force",
          "geometry": {"kind": "surface", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Bolt load"},
              {"offset": 272, "type": "f64", "name": "magnitude", "value": 750.0},
              {"offset": 280, "type": "f64", "name": "directionX", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "directionY", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "directionZ", "value": -1.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 3},
              {"offset": 308, "type": "i32", "name": "reserved308", "value": 0},
              {"offset": 312, "type": "flag", "name": "followsMovingSurface", "value": true}
            ]
          }
        },
        {
          "id": 4,
          "typeCode": 126,
          "type": "Surface Moment",
          "geometry": {"kind": "surface", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Bolt torque"},
              {"offset": 272, "type": "f64", "name": "magnitude", "value": 12.5},
              {"offset": 280, "type": "f64", "name": "directionX", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "directionY", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "directionZ", "value": 1.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 312, "type": "f64", "name": "centerX", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "centerY", "value": 0.0},
              {"offset": 328, "type": "f64", "name": "centerZ", "value": 0.0},
              {"offset": 336, "type": "i32", "name": "centerMode", "value": -1},
              {"offset": 340, "type": "i32", "name": "directionKind", "value": 2}
            ]
          }
        },
        {
          "id": 5,
          "typeCode": 26,
          "type": "Nodal Prescribed Velocity",
          "geometry": {"kind": "node", "id": 5},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Upright corner motion"},
              {"offset": 272, "type": "f64", "name": "velocityX", "value": 0.0},
              {"offset": 280, "type": "f64", "name": "velocityY", "value": 0.25},
              {"offset": 288, "type": "f64", "name": "velocityZ", "value": 0.0},
              {"offset": 296, "type": "flag", "name": "prescribedX", "value": false},
              {"offset": 300, "type": "flag", "name": "prescribedY", "value": true},
              {"offset": 304, "type": "flag", "name": "prescribedZ", "value": true},
              {"offset": 308, "type": "i32", "name": "loadCurve", "value": 1}
            ]
          }
        },
        {
          "id": 6,
          "typeCode": 26,
          "type": "Nodal Prescribed Velocity",
          "geometry": {"kind": "node", "id": 6},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Upright corner motion"},
              {"offset": 272, "type": "f64", "name": "velocityX", "value": 0.0},
              {"offset": 280, "type": "f64", "name": "velocityY", "value": 0.5},
              {"offset": 288, "type": "f64", "name": "velocityZ", "value": 0.0},
              {"offset": 296, "type": "flag", "name": "prescribedX", "value": false},
              {"offset": 300, "type": "flag", "name": "prescribedY", "value": true},
              {"offset": 304, "type": "flag", "name": "prescribedZ", "value": true},
              {"offset": 308, "type": "i32", "name": "loadCurve", "value": 1}
            ]
          }
        },
        {
          "id": 7,
          "typeCode": 49,
          "type": "Edge Prescribed Velocity",
          "geometry": {"kind": "edge", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Top edge held"},
              {"offset": 272, "type": "f64", "name": "velocityX", "value": 0.0},
              {"offset": 280, "type": "f64", "name": "velocityY", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "velocityZ", "value": 0.0},
              {"offset": 296, "type": "flag", "name": "prescribedX", "value": true},
              {"offset": 300, "type": "flag", "name": "prescribedY", "value": true},
              {"offset": 304, "type": "flag", "name": "prescribedZ", "value": true},
              {"offset": 308, "type": "i32", "name": "loadCurve", "value": 1}
            ]
          }
        },
        {
          "id": 8,
          "typeCode": 170,
          "type": "Beam Preload",
          "geometry": {"kind": "part", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Brace preload"},
              {"offset": 272, "type": "f64", "name": "axialForce", "value": 2000.0}
            ]
          }
        },
        {
          "id": 9,
          "typeCode": 53,
          "type": "Beam Distributed Load",
          "geometry": {"kind": "part", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Brace weight"},
              {"offset": 272, "type": "f64", "name": "iMagnitude", "value": 150.0},
              {"offset": 280, "type": "f64", "name": "iRatio", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "jRatio", "value": 1.0},
              {"offset": 296, "type": "f64", "name": "jMagnitude", "value": 150.0},
              {"offset": 304, "type": "f64", "name": "iDirectionX", "value": 0.0},
              {"offset": 312, "type": "f64", "name": "iDirectionY", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "iDirectionZ", "value": -1.0},
              {"offset": 328, "type": "f64", "name": "jDirectionX", "value": 0.0},
              {"offset": 336, "type": "f64", "name": "jDirectionY", "value": 0.0},
              {"offset": 344, "type": "f64", "name": "jDirectionZ", "value": -1.0},
              {"offset": 352, "type": "f64", "name": "multiplier", "value": 1.0},
              {"offset": 360, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 364, "type": "flag", "name": "followsDisplacement", "value": false}
            ]
          }
        },
        {
          "id": 10,
          "typeCode": 122,
          "type": "Surface Remote Load",
          "geometry": {"kind": "surface", "id": 4},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Ball joint load"},
              {"offset": 272, "type": "f64", "name": "remoteX", "value": 0.0},
              {"offset": 280, "type": "f64", "name": "remoteY", "value": 0.03},
              {"offset": 288, "type": "f64", "name": "remoteZ", "value": 0.12},
              {"offset": 296, "type": "flag", "name": "useRigidLinks", "value": false},
              {"offset": 300, "type": "i32", "name": "centroidMode", "value": 0},
              {"offset": 304, "type": "f64", "name": "centroidX", "value": 0.0},
              {"offset": 312, "type": "f64", "name": "centroidY", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "centroidZ", "value": 0.0},
              {"offset": 328, "type": "i32", "name": "coordinateSystem", "value": 1},
              {"offset": 332, "type": "f64", "name": "forceMagnitude", "value": 300.0},
              {"offset": 340, "type": "f64", "name": "forceDirectionX", "value": 0.0},
              {"offset": 348, "type": "f64", "name": "forceDirectionY", "value": 0.0},
              {"offset": 356, "type": "f64", "name": "forceDirectionZ", "value": -1.0},
              {"offset": 364, "type": "f64", "name": "momentMagnitude", "value": 0.0},
              {"offset": 372, "type": "f64", "name": "momentDirectionX", "value": 1.0},
              {"offset": 380, "type": "f64", "name": "momentDirectionY", "value": 0.0},
              {"offset": 388, "type": "f64", "name": "momentDirectionZ", "value": 0.0},
              {"offset": 396, "type": "i32", "name": "loadCurve", "value": 1}
            ]
          }
        },
        {
          "id": 11,
          "typeCode": 82,
          "type": "Surface Hydrostatic Pressure",
          "geometry": {"kind": "surface", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Coolant head"},
              {"offset": 272, "type": "f64", "name": "density", "value": 998.0},
              {"offset": 280, "type": "f64", "name": "multiplier", "value": 1.0},
              {"offset": 288, "type": "f64", "name": "pointX", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "pointY", "value": 0.0},
              {"offset": 304, "type": "f64", "name": "pointZ", "value": 0.08},
              {"offset": 312, "type": "f64", "name": "normalX", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "normalY", "value": 0.0},
              {"offset": 328, "type": "f64", "name": "normalZ", "value": 1.0},
              {"offset": 336, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 344, "type": "i32", "name": "pressureType", "value": 0}
            ]
          }
        },
        {
          "id": 12,
          "typeCode": 84,
          "type": "Surface Fluid Traction",
          "geometry": {"kind": "surface", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Coolant drag"},
              {"offset": 272, "type": "f64", "name": "density", "value": 998.0},
              {"offset": 280, "type": "f64", "name": "multiplier", "value": 1.0},
              {"offset": 288, "type": "f64", "name": "pointX", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "pointY", "value": 0.0},
              {"offset": 304, "type": "f64", "name": "pointZ", "value": 0.08},
              {"offset": 312, "type": "f64", "name": "normalX", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "normalY", "value": 0.0},
              {"offset": 328, "type": "f64", "name": "normalZ", "value": 1.0},
              {"offset": 336, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 340, "type": "i32", "name": "side", "value": 3},
              {"offset": 348, "type": "flag", "name": "followsDisplacement", "value": false},
              {"offset": 352, "type": "i32", "name": "pressureType", "value": 0}
            ]
          }
        },
        {
          "id": 13,
          "typeCode": 65,
          "type": "Surface Convection",
          "geometry": {"kind": "surface", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Air cooling"},
              {"offset": 272, "type": "f64", "name": "coefficient", "value": 25.0},
              {"offset": 280, "type": "f64", "name": "ambientTemperature", "value": 20.0},
              {"offset": 288, "type": "i32", "name": "coefficientCurve", "value": 1},
              {"offset": 292, "type": "i32", "name": "coefficientLoadCurve", "value": 0},
              {"offset": 296, "type": "i32", "name": "ambientLoadCurve", "value": 0},
              {"offset": 300, "type": "flag", "name": "temperatureDependent", "value": false},
              {"offset": 304, "type": "flag", "name": "bothSides", "value": false},
              {"offset": 312, "type": "f64", "name": "ambientLoadCurveMagnitude", "value": 1.0}
            ]
          }
        },
        {
          "id": 14,
          "typeCode": 65,
          "type": "Surface Convection",
          "geometry": {"kind": "surface", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Air cooling"},
              {"offset": 272, "type": "f64", "name": "coefficient", "value": 40.0},
              {"offset": 280, "type": "f64", "name": "ambientTemperature", "value": 20.0},
              {"offset": 288, "type": "i32", "name": "coefficientCurve", "value": 1},
              {"offset": 292, "type": "i32", "name": "coefficientLoadCurve", "value": 0},
              {"offset": 296, "type": "i32", "name": "ambientLoadCurve", "value": 0},
              {"offset": 300, "type": "flag", "name": "temperatureDependent", "value": false},
              {"offset": 304, "type": "flag", "name": "bothSides", "value": false},
              {"offset": 312, "type": "f64", "name": "ambientLoadCurveMagnitude", "value": 1.0}
            ]
          }
        },
        {
          "id": 15,
          "typeCode": 64,
          "type": "Surface Radiation",
          "geometry": {"kind": "surface", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Radiation to room"},
              {"offset": 272, "type": "f64", "name": "function", "value": 0.8},
              {"offset": 280, "type": "f64", "name": "ambientTemperature", "value": 20.0},
              {"offset": 288, "type": "i32", "name": "functionLoadCurve", "value": 0},
              {"offset": 292, "type": "i32", "name": "ambientLoadCurve", "value": 0},
              {"offset": 296, "type": "flag", "name": "bothSides", "value": false},
              {"offset": 300, "type": "f64", "name": "ambientLoadCurveMagnitude", "value": 1.0}
            ]
          }
        },
        {
          "id": 16,
          "typeCode": 40,
          "type": "Applied Temperature",
          "geometry": {"kind": "surface", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Heated bolt face"},
              {"offset": 272, "type": "f64", "name": "temperature", "value": 80.0},
              {"offset": 280, "type": "f64", "name": "stiffness", "value": 1.0},
              {"offset": 288, "type": "f64", "name": "scale", "value": 1.0},
              {"offset": 296, "type": "f64", "name": "activationTime", "value": 0.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 0},
              {"offset": 308, "type": "flag", "name": "variesWithTime", "value": false}
            ]
          }
        },
        {
          "id": 17,
          "typeCode": 29,
          "type": "Applied Temperature",
          "geometry": {"kind": "node", "id": 11},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Brace end temperature"},
              {"offset": 272, "type": "f64", "name": "temperature", "value": 35.0},
              {"offset": 280, "type": "f64", "name": "stiffness", "value": 1.0},
              {"offset": 288, "type": "f64", "name": "scale", "value": 1.0},
              {"offset": 296, "type": "f64", "name": "activationTime", "value": 0.0},
              {"offset": 304, "type": "i32", "name": "loadCurve", "value": 0},
              {"offset": 308, "type": "flag", "name": "variesWithTime", "value": false}
            ]
          }
        },
        {
          "id": 18,
          "typeCode": 176,
          "type": "Heat Generation",
          "geometry": {"kind": "part", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Resistive heating"},
              {"offset": 272, "type": "f64", "name": "heatGeneration", "value": 50000.0},
              {"offset": 280, "type": "i32", "name": "temperatureCurve", "value": 0},
              {"offset": 284, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 288, "type": "flag", "name": "temperatureDependent", "value": false}
            ]
          }
        },
        {
          "id": 19,
          "typeCode": 111,
          "type": "Temperature",
          "geometry": {"kind": "part", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Initial temperature"},
              {"offset": 272, "type": "f64", "name": "magnitude", "value": 20.0}
            ]
          }
        },
        {
          "id": 20,
          "typeCode": 55,
          "type": "Surface Variable Load",
          "geometry": {"kind": "surface", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Ramp pressure"},
              {"offset": 272, "type": "flag", "name": "normalToSurface", "value": true},
              {"offset": 324, "type": "f64", "name": "tractionR", "value": 1.0},
              {"offset": 332, "type": "f64", "name": "tractionS", "value": 0.0},
              {"offset": 340, "type": "f64", "name": "tractionT", "value": 0.0},
              {"offset": 348, "type": "i32", "name": "coordinateSystem", "value": 1},
              {"offset": 352, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 356, "type": "i32", "name": "function", "value": 1}
            ]
          }
        },
        {
          "id": 21,
          "typeCode": 55,
          "type": "Surface Variable Load",
          "geometry": {"kind": "surface", "id": 3},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Hole pressure"},
              {"offset": 272, "type": "flag", "name": "normalToSurface", "value": true},
              {"offset": 324, "type": "f64", "name": "tractionR", "value": 1.0},
              {"offset": 332, "type": "f64", "name": "tractionS", "value": 0.0},
              {"offset": 340, "type": "f64", "name": "tractionT", "value": 0.0},
              {"offset": 348, "type": "i32", "name": "coordinateSystem", "value": 2},
              {"offset": 352, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 356, "type": "i32", "name": "function", "value": 2}
            ]
          }
        },
        {
          "id": 22,
          "typeCode": 187,
          "type": "Mass Flux",
          "geometry": {"kind": "surface", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Salt spray"},
              {"offset": 272, "type": "i32", "name": "species", "value": 1},
              {"offset": 276, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 280, "type": "f64", "name": "value", "value": 1e-06}
            ]
          }
        },
        {
          "id": 23,
          "typeCode": 188,
          "type": "Mass Source",
          "geometry": {"kind": "node", "id": 4},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Moisture source"},
              {"offset": 272, "type": "i32", "name": "species", "value": 2},
              {"offset": 276, "type": "i32", "name": "loadCurve", "value": 1},
              {"offset": 280, "type": "f64", "name": "value", "value": 3e-07}
            ]
          }
        },
        {
          "id": 24,
          "typeCode": 181,
          "type": "Initial Concentration",
          "geometry": {"kind": "surface", "id": 1},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Initial salt"},
              {"offset": 272, "type": "i32", "name": "species", "value": 1},
              {"offset": 280, "type": "f64", "name": "value", "value": 0.01}
            ]
          }
        },
        {
          "id": 25,
          "typeCode": 171,
          "type": "Surface Wall Roughness",
          "geometry": {"kind": "surface", "id": 2},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Cast finish"},
              {"offset": 272, "type": "f64", "name": "roughnessHeight", "value": 2.5e-05},
              {"offset": 280, "type": "f64", "name": "roughnessConstant", "value": 0.5}
            ]
          }
        },
        {
          "id": 26,
          "typeCode": 172,
          "type": "Surface Prescribed Turbulence Condition",
          "geometry": {"kind": "surface", "id": 4},
          "record": {
            "fields": [
              {"offset": 12, "type": "text", "name": "description", "size": 256, "value": "Inlet turbulence"},
              {"offset": 272, "type": "i32", "name": "surfaceCondition", "value": 0},
              {"offset": 276, "type": "i32", "name": "parameterType", "value": 0},
              {"offset": 280, "type": "f64", "name": "intensity", "value": 0.05},
              {"offset": 288, "type": "f64", "name": "scaleFactor", "value": 0.07},
              {"offset": 296, "type": "f64", "name": "kineticEnergy", "value": 1.0},
              {"offset": 304, "type": "f64", "name": "dissipationRate", "value": 1.0}
            ]
          }
        }
      ],
      "contactPairs": [
        {
          "id": 1,
          "name": "Plate to upright",
          "sides": {"kind": "surface", "first": 1, "second": 2},
          "contactType": 0,
          "dataType": -1,
          "global": false,
          "direction": 0,
          "toleranceAngle": 45.0,
          "useFriction": true,
          "friction": 0.2,
          "thermalResistanceType": 0,
          "totalThermalResistance": 0.0,
          "unitThermalResistance": 0.0,
          "bondingToleranceKind": 0,
          "bondingToleranceMeshSizeFraction": 0.1,
          "bondingToleranceAbsolute": 0.0
        },
        {
          "id": 2,
          "name": "Bolt seat",
          "sides": {"kind": "surface", "first": 3, "second": 1},
          "contactType": 0,
          "dataType": -1,
          "global": false,
          "direction": 1,
          "toleranceAngle": 45.0,
          "useFriction": true,
          "friction": 0.3,
          "thermalResistanceType": 0,
          "totalThermalResistance": 0.0,
          "unitThermalResistance": 0.0,
          "bondingToleranceKind": 0,
          "bondingToleranceMeshSizeFraction": 0.1,
          "bondingToleranceAbsolute": 0.0
        },
        {
          "id": 3,
          "name": "Welded joint",
          "sides": {"kind": "surface", "first": 2, "second": 4},
          "contactType": 1,
          "dataType": 0,
          "global": false,
          "direction": 0,
          "toleranceAngle": 45.0,
          "useFriction": false,
          "friction": 0.0,
          "thermalResistanceType": 0,
          "totalThermalResistance": 0.0,
          "unitThermalResistance": 0.0,
          "bondingToleranceKind": 1,
          "bondingToleranceMeshSizeFraction": 0.1,
          "bondingToleranceAbsolute": 0.0005
        }
      ],
      "functions": {
        "nextFreeId": 3,
        "items": [
          {
            "id": 1,
            "description": "Linear ramp",
            "expression": "1000*r",
            "coordinateSystemType": 0,
            "unitSystem": {"type": 1}
          },
          {
            "id": 2,
            "description": "Radial falloff",
            "expression": "1000*(1-r/0.02)",
            "coordinateSystemType": 1,
            "unitSystem": {"type": 1}
          }
        ]
      },
      "initialFluidVolumes": [
        {
          "id": 1,
          "record": {
            "fields": [
              {"offset": 4, "type": "text", "name": "description", "size": 256, "value": "Coolant bath"},
              {"offset": 260, "type": "u32", "name": "regionShape", "value": 0},
              {"offset": 264, "type": "u32", "name": "fluidOption", "value": 0},
              {"offset": 268, "type": "u32", "name": "flagWord", "value": 3},
              {"offset": 272, "type": "f64", "name": "pointAX", "value": 0.0},
              {"offset": 280, "type": "f64", "name": "pointAY", "value": 0.0},
              {"offset": 288, "type": "f64", "name": "pointAZ", "value": 0.0},
              {"offset": 296, "type": "f64", "name": "pointBX", "value": 0.1},
              {"offset": 304, "type": "f64", "name": "pointBY", "value": 0.0},
              {"offset": 312, "type": "f64", "name": "pointBZ", "value": 0.0},
              {"offset": 320, "type": "f64", "name": "pointCX", "value": 0.1},
              {"offset": 328, "type": "f64", "name": "pointCY", "value": 0.06},
              {"offset": 336, "type": "f64", "name": "pointCZ", "value": 0.0},
              {"offset": 344, "type": "f64", "name": "pointDX", "value": 0.0},
              {"offset": 352, "type": "f64", "name": "pointDY", "value": 0.06},
              {"offset": 360, "type": "f64", "name": "pointDZ", "value": 0.0},
              {"offset": 368, "type": "f64", "name": "pointA2X", "value": 0.0},
              {"offset": 376, "type": "f64", "name": "pointA2Y", "value": 0.0},
              {"offset": 384, "type": "f64", "name": "pointA2Z", "value": 0.02},
              {"offset": 392, "type": "f64", "name": "pointB2X", "value": 0.1},
              {"offset": 400, "type": "f64", "name": "pointB2Y", "value": 0.0},
              {"offset": 408, "type": "f64", "name": "pointB2Z", "value": 0.02},
              {"offset": 416, "type": "f64", "name": "pointC2X", "value": 0.1},
              {"offset": 424, "type": "f64", "name": "pointC2Y", "value": 0.06},
              {"offset": 432, "type": "f64", "name": "pointC2Z", "value": 0.02},
              {"offset": 440, "type": "f64", "name": "pointD2X", "value": 0.0},
              {"offset": 448, "type": "f64", "name": "pointD2Y", "value": 0.06},
              {"offset": 456, "type": "f64", "name": "pointD2Z", "value": 0.02}
            ]
          }
        }
      ]
    }
  ]
}
)orvsample";
}  // namespace OrvDbRecord::detail
