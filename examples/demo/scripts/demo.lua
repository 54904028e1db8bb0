-- Script of the Tervelle demo pack. A map runs the scripts its "[scripts]" property names;
-- this one only describes the pack. Replace it with your own map logic.
DemoPack = {
    name = "Tervelle demo pack",
    maps = { "arena", "canyon" },
}
