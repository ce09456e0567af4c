# An upward include, a link to a higher layer, a cycle of links.
add_library(orb_gnss_time STATIC GNSS/mjd.cpp)
add_library(orb_gnss_geom STATIC GNSS/xyz.cpp)
target_link_libraries(orb_gnss_geom PUBLIC orb_gnss_sp3)
add_library(orb_gnss_sp3 STATIC GNSS/GNSSpEph.cpp)
target_link_libraries(orb_gnss_sp3 PUBLIC orb_gnss_geom orb_src)
add_library(orb_src STATIC src/Orbika.cpp)
target_link_libraries(orb_src PUBLIC orb_gnss_time)
