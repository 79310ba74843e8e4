/* Never compiled: the preprocessor's input from which the build makes
 * driverwyr_c.json, the description of the C interface (see
 * cmake/DescribeCInterface.cmake). Every function that driverwyr/driverwyr_c.h
 * declares, and every field of the record table, comes out as one call of a
 * describe_... marker with its parts as strings. */
#define DRIVERWYR_C_FUNCTION(Result, Name, Parameters) describe_function(#Name, #Result, #Parameters)
#include "driverwyr/driverwyr_c.h"

#define DRIVERWYR_C_SCALAR(R, Stem, GetType, SetType, Setter) \
  describe_field(#R, "scalar", #Stem, #GetType, #SetType, #Setter, "", "")
#define DRIVERWYR_C_CONVERTED(R, Stem, GetType, SetType, Setter) \
  describe_field(#R, "converted", #Stem, #GetType, #SetType, #Setter, "", "")
#define DRIVERWYR_C_STRING(R, Stem, Setter) \
  describe_field(#R, "string", #Stem, "char", "char", #Setter, "", "")
#define DRIVERWYR_C_ARRAY(R, Stem, Elem, Rows, Inner, Setter) \
  describe_field(#R, "array", #Stem, #Elem, #Elem, #Setter, #Rows, #Inner)
#define DRIVERWYR_C_FIELDLESS(R, Setter, SetType) \
  describe_field(#R, "fieldless", "", "", #SetType, #Setter, "", "")
#include "driverwyr/driverwyr_c_fields.h"
