// Placeholder: the job-file reader.
#pragma once
