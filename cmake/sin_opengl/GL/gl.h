// Stands in front of the system's OpenGL headers for the libraries below render
// (support, geometry, image, script): they draw nothing and link no OpenGL.
#error "This library draws nothing: OpenGL belongs to src/render."
