function make_data(folder, set)
% MAKE_DATA  Writes one benchmark problem and its start into FOLDER.
%
%   make_data(folder, 'fashion')  Fashion-MNIST test images, 10000-by-784,
%                                 pixels scaled to [0, 1], rank 20
%   make_data(folder, 'sparse')   sparse_problem(20000, 5000, 20, 0.01, 1)
%   make_data(folder, 'text')     the term-document matrix text_problem.py
%                                 wrote into FOLDER/corpus, rank 20
%   make_data(folder, 'man')      the same of man_problem.py (Debian's
%                                 English manual pages), rank 20
%   make_data(folder, 'textcounts')  text's matrix of raw counts
%                                 (text_problem.py --counts), rank 20
%
%   Files, every number little-endian, every matrix in column order:
%     shape.txt            m n k nnz (nnz = 0 for a full A)
%     A.f64                a full A, m*n doubles
%     rows.i32, cols.i32,  a sparse A as nnz zero-based positions and
%     vals.f64             values
%     W0.f64, H0.f64       the start, make_start's with seed 0
  k = 20;
  switch set
    case 'fashion'
      file = '/usr/share/datasets/fashion-mnist/t10k-images-idx3-ubyte.gz';
      A = double(read_idx_images(file))' / 255;
    case 'sparse'
      A = sparse_problem(20000, 5000, k, 0.01, 1);
    case {'text', 'man', 'textcounts'}
      A = read_corpus(fullfile(folder, 'corpus'));
    otherwise
      error('make_data: unknown set %s', set);
  end
  [m, n] = size(A);
  if ~exist(folder, 'dir')
    mkdir(folder);
  end
  if issparse(A)
    [i, j, v] = find(A);
    write_binary(fullfile(folder, 'rows.i32'), i - 1, 'int32');
    write_binary(fullfile(folder, 'cols.i32'), j - 1, 'int32');
    write_binary(fullfile(folder, 'vals.f64'), v, 'double');
    count = numel(v);
  else
    write_binary(fullfile(folder, 'A.f64'), A, 'double');
    count = 0;
  end
  fid = fopen(fullfile(folder, 'shape.txt'), 'w');
  fprintf(fid, '%d %d %d %d\n', m, n, k, count);
  fclose(fid);
  make_start(folder, folder, 0);
end

function A = read_corpus(folder)
  shape = load(fullfile(folder, 'size.txt'));
  read = @(name, precision) read_binary(fullfile(folder, name), shape(3), precision);
  A = sparse(read('rows.i32', 'int32') + 1, read('cols.i32', 'int32') + 1, ...
             read('vals.f64', 'double'), shape(1), shape(2));
end

function X = read_binary(file, count, precision)
  fid = fopen(file, 'r', 'ieee-le');
  X = fread(fid, count, [precision '=>double']);
  fclose(fid);
end

function write_binary(file, X, precision)
  fid = fopen(file, 'w', 'ieee-le');
  fwrite(fid, X, precision);
  fclose(fid);
end
