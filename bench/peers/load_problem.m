function [A, W0, H0] = load_problem(folder, with_start)
% LOAD_PROBLEM  Reads what make_data (and make_start) wrote into FOLDER;
% load_problem(folder, false) reads A alone.
  shape = load(fullfile(folder, 'shape.txt'));
  [m, n, k, count] = deal(shape(1), shape(2), shape(3), shape(4));
  if count > 0
    i = read_binary(fullfile(folder, 'rows.i32'), count, 'int32') + 1;
    j = read_binary(fullfile(folder, 'cols.i32'), count, 'int32') + 1;
    v = read_binary(fullfile(folder, 'vals.f64'), count, 'double');
    A = sparse(i, j, v, m, n);
  else
    A = reshape(read_binary(fullfile(folder, 'A.f64'), m * n, 'double'), m, n);
  end
  W0 = [];
  H0 = [];
  if nargin < 2 || with_start
    W0 = reshape(read_binary(fullfile(folder, 'W0.f64'), m * k, 'double'), m, k);
    H0 = reshape(read_binary(fullfile(folder, 'H0.f64'), k * n, 'double'), k, n);
  end
end

function X = read_binary(file, count, precision)
  fid = fopen(file, 'r', 'ieee-le');
  X = fread(fid, count, [precision '=>double']);
  fclose(fid);
end
