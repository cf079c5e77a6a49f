#include "sitemap.h"
